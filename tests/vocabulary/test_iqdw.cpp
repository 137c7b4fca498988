#include "TestApp.h"
#include "WindowDriver.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/TextBoxes.h"
#include "store/Recordset.h"
#include "vocabulary/VocabularyWindow.h"

#include <QtTest>
#include <QtWidgets>

using vocabulary::VocabularyWindow;

namespace {

const QString kSelectFirst = recordbook::kSelectFirstTitle + ": " + recordbook::kSelectFirstText;

// "key|english|chinese|keyword|picture", ~ for null.
QString row(const QString& fields)
{
    QStringList values;
    for (const QString& f : fields.split(u'|'))
        values << (f == "~" ? QStringLiteral("null") : "'" + f + "'");
    return "insert into foxcjdc (超级单词, 英文, 中文, 关键字, 图片名称) values (" +
           values.join(',') + ")";
}

void typeInto(QWidget* widget, const QString& text)
{
    if (!text.isEmpty())
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

// A fresh application folder with the given entries in place of the stock
// (or with the stock), and the window opened on it.
struct Vocab : WindowDriver<Vocab> {
    TestApp app;
    std::unique_ptr<VocabularyWindow> w;
    explicit Vocab(const QStringList& rows = {}, const std::function<void(TestApp&)>& before = {},
                   bool stock = false)
    {
        if (!stock) {
            app.exec("delete from foxcjdc");
            for (const QString& r : rows)
                app.exec(row(r));
        }
        if (before) before(app);
        app.context().openDatabase();
        w = std::make_unique<VocabularyWindow>(app.context());
        w->show();
    }
    void type(const QString& box, const QString& text)
    {
        if (auto* line = qobject_cast<QLineEdit*>(get(box)))
            line->clear();
        else
            get<QPlainTextEdit>(box)->clear();
        typeInto(get(box), text);
    }
    QString text(const QString& box)
    {
        if (auto* line = qobject_cast<QLineEdit*>(get(box))) return line->text();
        return get<QPlainTextEdit>(box)->toPlainText();
    }
    QStringList said()
    {
        QStringList out;
        for (const auto& m : app.dialogs.messages)
            out << m.title + ": " + m.text;
        return out;
    }
    QStringList entries() // every row as "key|english|chinese|keyword|picture"
    {
        return app.column(
            "select coalesce(超级单词,'~')||'|'||coalesce(英文,'~')||'|'||coalesce(中文,'~')"
            "||'|'||coalesce(关键字,'~')||'|'||coalesce(图片名称,'~') from foxcjdc");
    }
    QStringList combo(const QString& name)
    {
        QStringList out;
        auto* box = get<QComboBox>(name);
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out << "shown " + box->currentText();
    }
};

} // namespace

class TestVocabularyWindow : public QObject {
    Q_OBJECT
private slots:
    void voiceLists_data();
    void voiceLists();
    void readAloud_data();
    void readAloud();
    void searches_data();
    void searches();
    void showWord_data();
    void showWord();
    void keywordsAndReturn();
    void addWord_data();
    void addWord();
    void modifyAndDelete();
    void attachPicture_data();
    void attachPicture();
    void drags();
    void stockVocabulary();
};

using Voices = QList<platform::Voice>;

void TestVocabularyWindow::voiceLists_data()
{
    QTest::addColumn<bool>("atOnce");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<Voices>("voices");
    QTest::addColumn<QStringList>("english");
    QTest::addColumn<QStringList>("others");
    QTest::addColumn<QStringList>("said");
    const Voices three{{"English (America)", 1033}, {"Chinese (Mandarin)", 2052}, {"kal", 1033}};
    const QStringList english{"No.01:English (America)", "No.03:kal",
                              "shown No.01:English (America)"};
    const QStringList others{"No.02:Chinese (Mandarin)", "shown No.02:Chinese (Mandarin)"};
    const QStringList none{"shown "};
    const QStringList noTts{"提示: 无法使用TTS"};
    QTest::newRow("engine answers at once")
        << true << true << three << english << others << QStringList();
    QTest::newRow("engine answers later")
        << false << true << three << english << others << QStringList();
    QTest::newRow("no engine") << true << false << three << none << none << noTts;
    QTest::newRow("no engine, known later") << false << false << three << none << none << noTts;
    QTest::newRow("engine without voices")
        << true << true << Voices() << none << none << QStringList();
}

void TestVocabularyWindow::voiceLists()
{
    QFETCH(bool, atOnce);
    QFETCH(bool, usable);
    QFETCH(Voices, voices);
    Vocab v({"apple苹果|apple|苹果|~|~"}, [&](TestApp& app) {
        app.speech.answerAtOnce = atOnce;
        app.speech.isUsable = usable;
        app.speech.voiceList = voices;
    });
    QCOMPARE(v.w->wordCursor().sql(), "select*  from foxcjdc");
    QCOMPARE(v.lines(), QStringList());
    if (!atOnce) {
        // The window works while the engine starts; a reading asks nothing of it.
        QCOMPARE(v.combo("ComboE") + v.combo("ComboC"), (QStringList{"shown ", "shown "}));
        QCOMPARE(v.said(), QStringList());
        v.type("RTB", "apple");
        v.press("yyld");
        QCOMPARE(v.app.speech.spoken, QStringList());
        v.app.speech.answer();
    }
    QTEST(v.combo("ComboE"), "english");
    QTEST(v.combo("ComboC"), "others");
    QTEST(v.said(), "said");
}

void TestVocabularyWindow::readAloud_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("word after one blank") << "I like apple " << 13 << "apple";
    QTest::newRow("line break counts once, is part of the word")
        << "one\r\ntwo three" << 8 << "one\ntwo";
}

void TestVocabularyWindow::readAloud()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    Vocab v({}, [](TestApp& app) {
        app.speech.voiceList = {{"Bishnupriya Manipuri", 0}, {"English (America)", 1033}};
    });
    auto* rtb = v.get<QPlainTextEdit>("RTB");
    recordbook::setBoxText(rtb, text);
    QTextCursor at = rtb->textCursor();
    at.setPosition(caret);
    rtb->setTextCursor(at);
    v.w->findChild<QAction*>("actionReadAloud")->trigger();
    QTEST(v.app.speech.spoken.join('|'), "spoken");
    QCOMPARE(v.app.speech.parameters.size(), 1);
    QCOMPARE(v.app.speech.parameters[0].voiceName, "English (America)");
    QCOMPARE(v.app.speech.parameters[0].volume, 0.8);
}

void TestVocabularyWindow::searches_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("sql"); // empty: not checked
    const QString like = QStringLiteral(" or 超级单词 like ");
    const QString esc = QStringLiteral(" escape '\\'");
    const QString head = QStringLiteral("select  * from foxcjdc where 超级单词=");
    const auto row = [](const char* name, const QString& button, const QString& search,
                        const QStringList& lines, const QString& sql = {}) {
        QTest::newRow(name) << button << search << lines << sql;
    };
    const QStringList nonNull{
        "apple苹果", "pineapple菠萝", "50% off打五折", "50 off", "it's", "", "a_b", "axb"};
    row("substring", "zwcz", "apple", {"apple苹果", "pineapple菠萝"},
        head + "'apple'" + like + "'%apple%'" + esc);
    row("substring, Chinese, blanks around", "zwcz", "  苹果 ", {"apple苹果"});
    row("substring, empty: all but null", "zwcz", "", nonNull);
    row("substring, percent literal", "zwcz", "50%", {"50% off打五折"});
    row("substring, underscore literal", "zwcz", "a_b", {"a_b"});
    row("substring, quote", "zwcz", "it's", {"it's"});
    row("any character, empty: only the empty key", "Image6", "", {""});
    row("any character, three characters", "Image6", "xy果", {"apple苹果", "", "axb"},
        head + "'xy果'" + like + "'%x%'" + esc + like + "'%y%'" + esc + like + "'%果%'" + esc +
            (like + "''" + esc).repeated(3));
    row("any character, ten: first six only", "Image6", "qqqqqqqqqa", {});
    QStringList all = nonNull;
    all.insert(6, "");
    row("load all", "qbyy", "apple", all, "select * from foxcjdc");
}

void TestVocabularyWindow::searches()
{
    QFETCH(QString, button);
    QFETCH(QString, search);
    QFETCH(QString, sql);
    Vocab v({"apple苹果|apple|苹果|水果|~", "pineapple菠萝|pineapple|菠萝|水果|~",
             "50% off打五折|50% off|打五折|~|~", "50 off|50 off|~|~|~", "it''s|it''s|~|~|~",
             "|~|~|~|~", "~|~|~|~|~", "a_b|a_b|~|~|~", "axb|axb|~|~|~"});
    v.get<QLineEdit>("zw")->setText(search);
    v.type("RTB", "e");
    v.type("rtzw", "c");
    v.type("gjz", "k");
    v.press(button);
    QTEST(v.lines(), "lines");
    if (!sql.isEmpty()) QCOMPARE(v.w->wordCursor().sql(), sql);
    const bool all = button == "qbyy";
    QCOMPARE(v.text("RTB") + v.text("rtzw") + v.text("gjz"), all ? "eck" : "k");
    QCOMPARE(v.w->wordCursor().absolutePosition(), v.lines().isEmpty() ? -1 : 1);
}

void TestVocabularyWindow::showWord_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("boxes"); // RTB|rtzw|gjz|Text1
    QTest::addColumn<bool>("picture");
    const auto row = [](const char* name, const QString& entry, const QString& boxes,
                        bool picture) { QTest::newRow(name) << entry << boxes << picture; };
    row("with a picture", "k|go|去|动词|PIC", "go|去|动词|12PIC", true);
    row("blank-only picture name", "k|go|去|~|   ", "go|去||12   ", false);
    row("deleted picture file", "k|go|去|~|/no/such.jpg", "go|去||12/no/such.jpg", false);
    row("both texts empty", "~|~|~|~|~", "|||12", false);
}

void TestVocabularyWindow::showWord()
{
    QFETCH(QString, entry);
    QFETCH(QString, boxes);
    QTemporaryDir dir;
    const QString pic = dir.filePath("p.jpg");
    QImage(8, 8, QImage::Format_RGB32).save(pic, "JPG");
    Vocab v({"pic|pic|图|~|" + pic, entry.replace("PIC", pic)});
    v.press("qbyy");
    v.clickLine(0);
    QVERIFY(!v.get<QLabel>("Image5")->pixmap().isNull());
    v.press("yczw"); // the Chinese box goes on being filled while hidden
    v.clickLine(1);
    QCOMPARE(v.w->wordCursor().absolutePosition(), 2);
    QCOMPARE(QStringList({v.text("RTB"), v.text("rtzw"), v.text("gjz"), v.text("Text1")}).join('|'),
             boxes.replace("PIC", pic));
    QTEST(!v.get<QLabel>("Image5")->pixmap().isNull(), "picture");
    QVERIFY(v.get("rtzw")->isHidden());
    v.w->findChild<QAction*>("actionShowChinese")->trigger();
    QVERIFY(v.get("rtzw")->isVisible());
}

void TestVocabularyWindow::keywordsAndReturn()
{
    Vocab v({"a|a|~|水果|~", "b|b|~|~|~", "c|c|~|  |~", "d|d|~|动物|~", "e|e|~|水果|~"});
    v.press("qbyy");
    v.type("rtzw", "c");
    v.press("Image2");
    QCOMPARE(v.text("RTB"), "  水果  动物");
    QCOMPARE(v.text("rtzw"), "");
    QCOMPARE(v.lines(), QStringList());
    QCOMPARE(v.w->wordCursor().sql(), "select * from foxcjdc");
    QCOMPARE(v.w->wordCursor().recordCount(), 5);

    v.w->findChild<QAction*>("actionReturn")->trigger();
    QVERIFY(!v.w->isVisible());
    QVERIFY(!v.w->hasWordCursor());

    // A window gone before the engine answers hears nothing of it.
    Vocab late({}, [](TestApp& app) {
        app.speech.answerAtOnce = false;
        app.speech.isUsable = false;
    });
    late.w.reset();
    late.app.speech.answer();
    QCOMPARE(late.said(), QStringList());
}

void TestVocabularyWindow::addWord_data()
{
    QTest::addColumn<QString>("boxes"); // RTB|rtzw|gjz
    QTest::addColumn<QString>("stored");
    const auto row = [](const char* name, const QString& boxes, const QString& stored) {
        QTest::newRow(name) << boxes << stored;
    };
    row("every box empty", "||", "~|~|~|~|~");
    row("only Chinese", "|苹果|", "苹果|~|苹果|~|~");
    row("trailing blanks", "apple  |苹果|", "apple苹果|apple  |苹果|~|~");
    row("blank-only English, keyword", "  ||水果", "|  |~|水果|~");
}

void TestVocabularyWindow::addWord()
{
    QFETCH(QString, boxes);
    Vocab v;
    const QStringList b = boxes.split('|');
    v.type("RTB", b[0]);
    v.type("rtzw", b[1]);
    v.type("gjz", b[2]);
    v.press("ckkc");
    QTEST(v.entries().join(""), "stored");
    QCOMPARE(v.said(), QStringList{"提示: 加入英语素材成功！"});
    QCOMPARE(v.text("RTB") + v.text("rtzw") + v.text("gjz"), "");
    QCOMPARE(v.lines(), QStringList());
    QCOMPARE(v.w->wordCursor().sql(), "select*  from foxcjdc");
    QCOMPARE(v.w->wordCursor().recordCount(), 1);
}

void TestVocabularyWindow::modifyAndDelete()
{
    QStringList six;
    for (int i = 1; i <= 6; ++i)
        six << QStringLiteral("w%1|w%1|~|k|~").arg(i);
    Vocab v(six);
    QStringList stored = v.entries();
    v.type("RTB", "five ");
    v.press("Image3"); // nothing selected: nothing written, and the user is told
    QCOMPARE(v.said(), QStringList{kSelectFirst});
    QCOMPARE(v.entries(), stored);

    v.press("qbyy");
    v.clickLine(4);
    v.type("RTB", "five ");
    v.type("rtzw", "五");
    v.get<QLineEdit>("gjz")->clear();
    v.press("Image3");
    stored[4] = "five五|five |五|~|~";
    QCOMPARE(v.entries(), stored);
    QCOMPARE(v.said().last(), "提示: 修改成功！");
    QCOMPARE(v.lines(), QStringList());
    QCOMPARE(v.w->wordCursor().absolutePosition(), 6);
    QCOMPARE(v.text("RTB"), "five ");

    v.press("dcsc"); // the list is empty after modify
    QCOMPARE(v.said().last(), kSelectFirst);
    v.press("qbyy");
    v.clickLine(1);
    v.app.dialogs.answers.enqueue(platform::Answer::No);
    v.press("dcsc");
    QCOMPARE(v.entries(), stored);
    v.press("dcsc");
    stored.removeAt(1);
    QCOMPARE(v.entries(), stored);
    QCOMPARE(v.said().mid(3),
             (QStringList{"警告: 删除该条信息吗?", "警告: 删除该条信息吗?", "提醒: 删除成功！"}));
    QCOMPARE(v.lines(), (QStringList{"w1", "w3", "w4", "five五", "w6"}));
    QCOMPARE(v.text("RTB") + v.text("rtzw") + v.text("gjz"), "");

    // The only entry, deleted twice.
    Vocab one({"only|only|~|~|~"});
    one.press("qbyy");
    one.clickLine(0);
    one.press("dcsc");
    QCOMPARE(one.lines(), QStringList());
    one.press("dcsc");
    QCOMPARE(one.said().last(), "警告: 已经没有一条事务信息了！");
    QCOMPARE(one.entries(), QStringList());
}

void TestVocabularyWindow::attachPicture_data()
{
    QTest::addColumn<bool>("select");
    QTest::addColumn<QString>("file"); // empty: cancel; GOOD, BAD: made by the test
    QTest::addColumn<QString>("said");
    const auto row = [](const char* name, bool select, const QString& file, const QString& said) {
        QTest::newRow(name) << select << file << said;
    };
    row("no selected line", false, "GOOD", kSelectFirst);
    row("cancelled", true, "", "");
    row("not a picture", true, "BAD",
        "提示: 无法读取图片“BAD”：文件不存在、不能读取，或不是可以显示的图片。插图没有保存。");
    row("a picture", true, "GOOD", "");
}

void TestVocabularyWindow::attachPicture()
{
    QFETCH(bool, select);
    QFETCH(QString, file);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString good = dir.filePath("good.gif"), bad = dir.filePath("bad.jpg");
    QImage(8, 8, QImage::Format_RGB32).save(good, "PNG"); // the content decides, not the name
    QFile b(bad);
    QVERIFY(b.open(QIODevice::WriteOnly) && b.write("no picture"));
    b.close();
    file.replace("GOOD", good).replace("BAD", bad);
    said.replace("BAD", bad);

    Vocab v({"a|a|~|~|~", "b|b|~|~|~"});
    v.app.dialogs.files.enqueue(file);
    if (select) {
        v.press("qbyy");
        v.clickLine(1);
    }
    v.press("Image7");
    QCOMPARE(v.said().join(""), said);
    QCOMPARE(v.app.dialogs.fileQuestions.size(), select ? 1 : 0);
    const bool stored = select && file == good;
    QCOMPARE(v.entries(), (QStringList{"a|a|~|~|~", "b|b|~|~|" + (stored ? good : "~")}));
    QCOMPARE(v.get<QLabel>("Image5")->pixmap().isNull(), !stored);
}

static void dragFrom(QWidget* target, QPoint at)
{
    const QPoint to = at + QPoint(QApplication::startDragDistance() + 5, 0);
    QTest::mousePress(target, Qt::LeftButton, {}, at);
    QTest::mouseMove(target, to);
    QTest::mouseRelease(target, Qt::LeftButton, {}, to);
}

void TestVocabularyWindow::drags()
{
    Vocab v;
    QStringList drags;
    recordbook::setDragRunner([&](QDrag& drag, Qt::DropActions actions) {
        const QMimeData* data = drag.mimeData();
        drags << (actions == Qt::CopyAction ? "copy " : "more ") + data->formats().join(',') + " " +
                     data->text();
        return Qt::IgnoreAction; // abandoned
    });
    v.type("zw", "查");
    v.type("gjz", "k");
    v.type("rtzw", "苹果");
    auto* rtzw = v.get<QPlainTextEdit>("rtzw");
    rtzw->selectAll();
    dragFrom(rtzw->viewport(), QPoint(4, 4));
    QCOMPARE(v.text("zw") + v.text("gjz"), "查k");
    auto* rtb = v.get<QPlainTextEdit>("RTB");
    recordbook::setBoxText(rtb, "apple");
    rtb->selectAll();
    dragFrom(rtb->viewport(), QPoint(4, 4));
    recordbook::setDragRunner({});
    QCOMPARE(v.text("zw") + v.text("gjz") + v.text("RTB"), "apple");
    QCOMPARE(drags,
             (QStringList{"copy text/plain,text/rtf 苹果", "copy text/plain,text/rtf apple"}));
}

void TestVocabularyWindow::stockVocabulary()
{
    Vocab v({}, {}, true);
    v.press("qbyy");
    const int all = v.app.scalar("select count(*) from foxcjdc").toInt();
    QVERIFY(all > 1000);
    QCOMPARE(v.lines().size(), all);
    for (const QString& word : {QStringLiteral("apple"), QStringLiteral("苹果")}) {
        v.get<QLineEdit>("zw")->setText(word);
        v.press("zwcz");
        QVERIFY(v.lines().contains("apple苹果"));
        QVERIFY(v.lines().contains("apple juice苹果汁"));
    }
    v.clickLine(v.lines().indexOf("apple苹果"));
    QCOMPARE(v.text("RTB") + v.text("rtzw") + v.text("gjz"), "apple苹果水果");
}

QTEST_MAIN(TestVocabularyWindow)
#include "test_iqdw.moc"
