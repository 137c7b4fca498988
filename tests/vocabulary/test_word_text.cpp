#include "vocabulary/WordText.h"

#include <QtTest>

using namespace vocabulary;

class TestWordText : public QObject {
    Q_OBJECT
private slots:
    void textToRead_data();
    void textToRead();
    void composedKey();
    void voiceLines_data();
    void voiceLines();
    void readingVoice();
};

void TestWordText::textToRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("spoken");
    const QString like = QStringLiteral("I like apple");
    QTest::newRow("caret at the end, no blank") << like << 12 << like;
    QTest::newRow("caret at the start") << like << 0 << like;
    QTest::newRow("empty box") << QString() << 0 << QString();
    QTest::newRow("after the blank that ends the text") << like + u' ' << 13 << "apple";
    QTest::newRow("after the blank following like") << like << 7 << "like";
    QTest::newRow("after a blank following a blank") << "I like  apple" << 8 << "";
    QTest::newRow("twenty letters, last fifteen")
        << "go abcdefghijklmnopqrst " << 24 << "fghijklmnopqrst";
    QTest::newRow("exactly fifteen letters") << "abcdefghijklmno " << 16 << "abcdefghijklmno";
    QTest::newRow("punctuation and breaks belong to the word")
        << "one\ttwo,\nthree. x" << 16 << "one\ttwo,\nthree.";
    QTest::newRow("caret beyond the text") << "apple " << 99 << "apple";
    QTest::newRow("a cut never splits a character")
        << QStringLiteral("😀") + QString(14, u'a') + u' ' << 17 << QString(14, u'a');
}

void TestWordText::textToRead()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, spoken);
    QCOMPARE(vocabulary::textToRead(text, caret), spoken);
}

void TestWordText::composedKey()
{
    // English, Chinese, key: trailing blanks go; leading blanks, breaks and tabs stay.
    const QStringList cases[] = {
        {"apple  ", "苹果 ", "apple苹果"}, {" a\r\nb\t", " 乙", " a\r\nb\t 乙"}, {"   ", "  ", ""}};
    for (const QStringList& c : cases)
        QCOMPARE(vocabulary::composedKey(c[0], c[1]), c[2]);
}

void TestWordText::voiceLines_data()
{
    QTest::addColumn<QList<platform::Voice>>("voices");
    QTest::addColumn<QStringList>("english");
    QTest::addColumn<QStringList>("others");
    QTest::newRow("none") << QList<platform::Voice>() << QStringList() << QStringList();
    QTest::newRow("one numbering over both lists")
        << QList<platform::Voice>{{"A", 1033}, {"Chinese", 2052}, {"B", 1033}}
        << QStringList{"No.01:A", "No.03:B"} << QStringList{"No.02:Chinese"};
    QList<platform::Voice> ten;
    QStringList others;
    for (int i = 1; i <= 9; ++i) {
        ten.append({QStringLiteral("v%1").arg(i), 2057});
        others << QStringLiteral("No.0%1:v%1").arg(i);
    }
    ten.append({QStringLiteral("English (America)"), 1033});
    QTest::newRow("tenth voice English") << ten << QStringList{"No.10:English (America)"} << others;
    QList<platform::Voice> many(256, {QStringLiteral("x"), 2052});
    many.last().languageId = 1033;
    QStringList first255;
    for (int i = 1; i <= 255; ++i)
        first255 << vocabulary::voiceLine(i, QStringLiteral("x"));
    QTest::newRow("the 256th voice is not listed") << many << QStringList() << first255;
}

void TestWordText::voiceLines()
{
    QFETCH(QList<platform::Voice>, voices);
    QFETCH(QStringList, english);
    QFETCH(QStringList, others);
    const VoiceLines lines = vocabulary::voiceLines(voices);
    QCOMPARE(lines.english, english);
    QCOMPARE(lines.others, others);
}

void TestWordText::readingVoice()
{
    using V = QList<platform::Voice>;
    QCOMPARE(vocabulary::readingVoice(V{}), QString());
    QCOMPARE(
        vocabulary::readingVoice(V{{"Bishnupriya Manipuri", 0}, {"English (Great Britain)", 2057}}),
        QString());
    QCOMPARE(vocabulary::readingVoice(
                 V{{"Bishnupriya Manipuri", 0}, {"kal", 1033}, {"English (America)", 1033}}),
             QStringLiteral("English (America)"));
    QCOMPARE(vocabulary::readingVoice(V{{"zh", 2052}, {"kal", 1033}, {"slt", 1033}}),
             QStringLiteral("kal"));
}

QTEST_MAIN(TestWordText)
#include "test_word_text.moc"
