#include "vocabulary/WordText.h"

#include <QtTest>

using namespace vocabulary;

class TestWordText : public QObject {
    Q_OBJECT
private slots:
    void textToRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("spoken");
        const QString like = QStringLiteral("I like apple");
        QTest::newRow("caret at the end, no blank") << like << 12 << like;
        QTest::newRow("caret at the start") << like << 0 << like;
        QTest::newRow("after the blank that ends the text") << like + u' ' << 13 << "apple";
        QTest::newRow("after a blank following a blank") << "I like  apple" << 8 << "";
        QTest::newRow("twenty letters") << "go abcdefghijklmnopqrst " << 24 << "fghijklmnopqrst";
        QTest::newRow("exactly fifteen letters") << "abcdefghijklmno " << 16 << "abcdefghijklmno";
        QTest::newRow("punctuation and breaks belong to the word")
            << "one\ttwo,\nthree. x" << 16 << "one\ttwo,\nthree.";
        QTest::newRow("caret beyond the text") << "apple " << 99 << "apple";
        QTest::newRow("a cut never splits a character")
            << QStringLiteral("😀") + QString(14, u'a') + u' ' << 17 << QString(14, u'a');
    }

    void textToRead()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QTEST(vocabulary::textToRead(text, caret), "spoken");
    }

    // One numbering over both lists, growing to three digits; the 256th voice is not listed.
    void voiceLines()
    {
        const VoiceLines few =
            vocabulary::voiceLines({{"A", 1033}, {"Chinese", 2052}, {"B", 1033}});
        QCOMPARE(few.english + few.others, (QStringList{"No.01:A", "No.03:B", "No.02:Chinese"}));
        QList<platform::Voice> many(256, {QStringLiteral("x"), 2052});
        many[9].languageId = many[255].languageId = 1033;
        const VoiceLines lines = vocabulary::voiceLines(many);
        QCOMPARE(lines.english.join(',') + " " + QString::number(lines.others.size()) + " " +
                     lines.others.first() + lines.others.last(),
                 "No.10:x 254 No.01:xNo.255:x");
    }

    void readingVoice()
    {
        using V = QList<platform::Voice>;
        const V bnm{{"Bishnupriya Manipuri", 0}};
        QCOMPARE((QStringList{
                     vocabulary::readingVoice(bnm + V{{"English (Great Britain)", 2057}}),
                     vocabulary::readingVoice(bnm + V{{"kal", 1033}, {"English (America)", 1033}}),
                     vocabulary::readingVoice(V{{"zh", 2052}, {"kal", 1033}, {"slt", 1033}})}),
                 (QStringList{"", "English (America)", "kal"}));
    }
};

QTEST_MAIN(TestWordText)
#include "test_word_text.moc"
