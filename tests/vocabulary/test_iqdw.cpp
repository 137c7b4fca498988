#include "TestApp.h"
#include "WindowDriver.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/TextBoxes.h"
#include "vocabulary/VocabularyWindow.h"

#include <QtTest>
#include <QtWidgets>

using vocabulary::VocabularyWindow;

namespace {

const QString kSelectFirst = recordbook::kSelectFirstText;

// A fresh application folder with the given entries ("key|english|chinese|keyword|picture",
// ~ for null) in place of the stock, or with the stock, and the window opened on it.
struct Vocab : WindowDriver<Vocab> {
    TestApp app;
    std::unique_ptr<VocabularyWindow> w;
    explicit Vocab(const QStringList& rows = {}, const std::function<void(TestApp&)>& before = {},
                   bool stock = false)
    {
        if (!stock) app.exec("delete from foxcjdc");
        for (const QString& r : rows)
            app.exec(QString("insert into foxcjdc (超级单词, 英文, 中文, 关键字, 图片名称) "
                             "values ('%1')")
                         .arg(QString(r).replace("|", "','"))
                         .replace("'~'", "null"));
        if (before) before(app);
        app.context().openDatabase();
        w = std::make_unique<VocabularyWindow>(app.context());
        w->show();
    }
    QString text(const QString& box) { return recordbook::boxText(get(box)); }
    QString boxes() { return text("RTB") + "|" + text("rtzw") + "|" + text("gjz"); }
    QStringList said() { return app.dialogs.texts(); }
    QStringList entries() // every row in the form the constructor takes
    {
        return app.column(
            "select coalesce(超级单词,'~')||'|'||coalesce(英文,'~')||'|'||coalesce(中文,'~')"
            "||'|'||coalesce(关键字,'~')||'|'||coalesce(图片名称,'~') from foxcjdc");
    }
    QString combo(const QString& name) // "item,item=shown"
    {
        QStringList items;
        auto* box = get<QComboBox>(name);
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items.join(',') + "=" + box->currentText();
    }
};

} // namespace

class TestVocabularyWindow : public QObject {
    Q_OBJECT
private slots:
    // The window works while the engine starts, and a reading asks nothing of it.
    void voiceLists()
    {
        for (const bool usable : {true, false}) {
            Vocab v({}, [&](TestApp& app) {
                app.speech.answerAtOnce = false;
                app.speech.isUsable = usable;
                app.speech.voiceList = {
                    {"English (America)", 1033}, {"Chinese (Mandarin)", 2052}, {"kal", 1033}};
            });
            const auto shown = [&] {
                return v.combo("ComboE") + " / " + v.combo("ComboC") + v.said().join(' ');
            };
            v.type("RTB", "apple");
            v.press("yyld");
            QCOMPARE(shown() + v.app.speech.spoken.join('|'), "= / =");
            v.app.speech.answer();
            QCOMPARE(shown(), usable
                                  ? "No.01:English (America),No.03:kal=No.01:English (America) / "
                                    "No.02:Chinese (Mandarin)=No.02:Chinese (Mandarin)"
                                  : "= / =无法使用TTS");
        }
    }

    void readAloud()
    {
        Vocab v({}, [](TestApp& app) {
            app.speech.voiceList = {{"Bishnupriya Manipuri", 0}, {"English (America)", 1033}};
        });
        // The line break counts once for the caret and is part of the word.
        auto* rtb = v.get<QPlainTextEdit>("RTB");
        recordbook::setBoxText(rtb, "one\r\ntwo three");
        QTextCursor at = rtb->textCursor();
        at.setPosition(8);
        rtb->setTextCursor(at);
        v.get<QAction>("actionReadAloud")->trigger();
        QCOMPARE(v.app.speech.spoken.join('|') + "|" + v.app.speech.parameters.value(0).voiceName,
                 "one\ntwo|English (America)");
    }

    void searches_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("lines");
        const QStringList two{"apple苹果", "pineapple菠萝"};
        QTest::newRow("substring") << QString("zwcz") << "apple" << two;
        QTest::newRow("any character") << "Image6"
                                       << "xy果" << QStringList{"apple苹果", "", "axb"};
        QTest::newRow("load all") << QString("qbyy") << "apple" << two + QStringList{"", "", "axb"};
    }

    void searches()
    {
        QFETCH(QString, button);
        QFETCH(QString, search);
        Vocab v({"apple苹果|apple|苹果|水果|~", "pineapple菠萝|pineapple|菠萝|水果|~", "|~|~|~|~",
                 "~|~|~|~|~", "axb|axb|~|~|~"});
        v.get<QLineEdit>("zw")->setText(search);
        v.type("RTB", "e");
        v.type("rtzw", "c");
        v.type("gjz", "k");
        v.press(button);
        QTEST(v.lines(), "lines");
        QCOMPARE(v.boxes(), button == "qbyy" ? "e|c|k" : "||k");
    }

    // The picture follows the entry, the Chinese box is filled while hidden.
    void showWord()
    {
        QTemporaryDir dir;
        const QString pic = dir.filePath("p.jpg");
        QImage(8, 8, QImage::Format_RGB32).save(pic, "JPG");
        Vocab v({"pic|pic|图|~|" + pic, "k|go|去|~|   ", "k|go|去|动词|" + pic,
                 "~|~|~|~|/no/such.jpg"});
        v.press("qbyy");
        v.press("yczw");
        QStringList shown; // RTB|rtzw|gjz|Text1, and whether a picture shows
        for (int line = 0; line < 4; ++line) {
            v.clickLine(line);
            shown << v.boxes() + "|" + v.text("Text1") +
                         (v.get<QLabel>("Image5")->pixmap().isNull() ? "" : " +");
        }
        QCOMPARE(shown, (QStringList{"pic|图||12" + pic + " +", "go|去||12   ",
                                     "go|去|动词|12" + pic + " +", "|||12/no/such.jpg"}));
        QVERIFY(v.get("rtzw")->isHidden());
        v.get<QAction>("actionShowChinese")->trigger();
        QVERIFY(v.get("rtzw")->isVisible());
    }

    // 清空 leaves no line selected, so a click on the line it showed loads it again.
    void clickAfterClear()
    {
        Vocab v({"go|go|去|动词|~", "w|w|~|~|~"});
        v.press("qbyy");
        v.clickLine(0);
        QCOMPARE(v.boxes(), "go|去|动词");
        v.press("Image4");
        QCOMPARE(v.selected(), -1);
        v.clickLine(0);
        QCOMPARE(v.boxes(), "go|去|动词");
    }

    void keywordsAndReturn()
    {
        Vocab v({"a|a|~|水果|~", "b|b|~|~|~", "d|d|~|动物|~", "e|e|~|水果|~"});
        v.press("qbyy");
        v.type("rtzw", "c");
        v.press("Image2");
        // The list empties over a cursor that still holds every entry.
        QCOMPARE(v.boxes() + v.lines().join(',') + "|" +
                     QString::number(v.w->wordCursor().recordCount()),
                 "  水果  动物|||4");

        v.get<QAction>("actionReturn")->trigger();
        QVERIFY(!v.w->isVisible() && !v.w->hasWordCursor());

        // A window gone before the engine answers hears nothing of it.
        Vocab late({}, [](TestApp& a) { a.speech.answerAtOnce = a.speech.isUsable = false; });
        late.w.reset();
        late.app.speech.answer();
        QCOMPARE(late.said(), QStringList());
    }

    // Add writes nothing for an empty box, and no key when both texts are empty.
    void addWord()
    {
        Vocab v;
        v.press("ckkc");
        v.type("RTB", "  ");
        v.type("gjz", "水果");
        v.press("ckkc");
        QCOMPARE(v.entries(), (QStringList{"~|~|~|~|~", "|  |~|水果|~"}));
        QCOMPARE(v.said(), QStringList(2, "加入英语素材成功！"));
        QCOMPARE(v.boxes(), "||");
    }

    void modifyAndDelete()
    {
        Vocab v({"w1|w1|~|k|~", "w2|w2|~|k|~", "w3|w3|~|k|~", "w4|w4|~|k|~", "w5|w5|~|k|~",
                 "w6|w6|~|k|~"});
        QStringList stored = v.entries();
        v.type("RTB", "five ");
        v.press("Image3"); // nothing selected: nothing written, and the user is told
        QCOMPARE(v.entries(), stored);

        v.press("qbyy");
        v.clickLine(4);
        v.type("RTB", "five ");
        v.type("rtzw", "五");
        v.type("gjz", "");
        v.press("Image3");
        stored[4] = "five五|five |五|~|~";
        QCOMPARE(v.entries(), stored);
        QCOMPARE(v.lines(), QStringList());
        v.press("dcsc"); // the list is empty after modify
        v.press("qbyy");
        v.clickLine(1);
        v.app.dialogs.answers.enqueue(platform::Answer::No);
        v.press("dcsc");
        QCOMPARE(v.entries(), stored);
        v.press("dcsc");
        stored.removeAt(1);
        QCOMPARE(v.entries(), stored);
        QCOMPARE(v.said(), (QStringList{kSelectFirst, "修改成功！", kSelectFirst, "删除该条信息吗?",
                                        "删除该条信息吗?", "删除成功！"}));
        QCOMPARE(v.lines(), (QStringList{"w1", "w3", "w4", "five五", "w6"}));
        QCOMPARE(v.boxes(), "||");

        // The only entry, deleted twice.
        Vocab one({"only|only|~|~|~"});
        one.press("qbyy");
        one.clickLine(0);
        one.press("dcsc");
        one.press("dcsc");
        QCOMPARE(one.said().last(), "已经没有一条事务信息了！");
        QCOMPARE(one.entries(), QStringList());
    }

    // A phone photo larger than Qt decodes whole is attached and shown.
    void bigPicture()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("photo.jpg");
        QImage photo(6000, 6000, QImage::Format_RGB888);
        photo.fill(Qt::darkGreen);
        QVERIFY(photo.save(path, "JPG"));
        Vocab v({"a|a|~|~|~"});
        v.app.dialogs.files << path;
        v.press("qbyy");
        v.clickLine(0);
        v.press("Image7");
        QCOMPARE(v.said() + v.entries(), QStringList{"a|a|~|~|" + path});
        QVERIFY(!v.get<QLabel>("Image5")->pixmap().isNull());
    }

    // A picture goes to the selected entry, and only when it can be shown.
    void attachPicture()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath("good.gif"), bad = dir.filePath("bad.jpg");
        QImage(8, 8, QImage::Format_RGB32).save(good, "PNG"); // the content decides, not the name
        QFile b(bad);
        QVERIFY(b.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && b.write("no picture"));
        Vocab v({"a|a|~|~|~", "b|b|~|~|~"});
        const QStringList before = v.entries();
        v.app.dialogs.files << "" << bad << good; // cancel first
        v.press("Image7");                        // no selected line: nothing asked
        v.press("qbyy");
        v.clickLine(1);
        v.press("Image7");
        v.press("Image7");
        QCOMPARE(v.entries(), before);
        QVERIFY(v.get<QLabel>("Image5")->pixmap().isNull());
        v.press("Image7");
        QCOMPARE(v.entries(), (QStringList{"a|a|~|~|~", "b|b|~|~|" + good}));
        QVERIFY(!v.get<QLabel>("Image5")->pixmap().isNull());
        QCOMPARE(v.app.dialogs.fileQuestions.size(), 3);
        QCOMPARE(
            v.said(),
            (QStringList{kSelectFirst,
                         "无法读取图片“" + bad +
                             "”：文件不存在、不能读取，或不是可以显示的图片。插图没有保存。"}));
    }

    // Line and text boxes offer a copy as plain and rich text and keep their text;
    // starting a drag from the English box clears the search and keyword boxes.
    void drags()
    {
        Vocab v;
        QStringList seen;
        recordbook::setDragRunner([&](QDrag& drag, Qt::DropActions actions) {
            const QMimeData* data = drag.mimeData();
            seen << (actions == Qt::CopyAction ? "copy " : "more ") + data->text() + " " +
                        QString::fromLatin1(data->data(recordbook::kRtfMimeType));
            return Qt::CopyAction;
        });
        v.type("zw", "查");
        for (const char* name : {"gjz", "RTB"}) {
            QWidget* box = v.get(name);
            recordbook::setBoxText(box, name);
            QMetaObject::invokeMethod(box, "selectAll");
            auto* text = qobject_cast<QPlainTextEdit*>(box);
            QWidget* target = text ? text->viewport() : box;
            const QPoint from = text ? QPoint(4, 4) : QPoint(8, box->height() / 2);
            const QPoint to = from + QPoint(QApplication::startDragDistance() + 5, 0);
            QTest::mousePress(target, Qt::LeftButton, {}, from);
            QTest::mouseMove(target, to);
            QTest::mouseRelease(target, Qt::LeftButton, {}, to);
            seen << v.text("zw") + "|" + v.text("gjz") + "|" + v.text(name);
        }
        recordbook::setDragRunner({});
        QCOMPARE(seen, (QStringList{"copy gjz " + recordbook::rtfFromText("gjz"), "查|gjz|gjz",
                                    "copy RTB " + recordbook::rtfFromText("RTB"), "||RTB"}));
    }

    // The stock list of over a thousand entries lists whole and finds by Chinese.
    void stockVocabulary()
    {
        Vocab v({}, {}, true);
        v.press("qbyy");
        const int n = v.lines().size();
        QVERIFY(n > 1000 && QString::number(n) == v.app.scalar("select count(*) from foxcjdc"));
        v.get<QLineEdit>("zw")->setText("苹果");
        v.press("zwcz");
        QVERIFY(v.lines().contains("apple juice苹果汁"));
        v.clickLine(v.lines().indexOf("apple苹果"));
        QCOMPARE(v.boxes(), "apple|苹果|水果");
    }
};

QTEST_MAIN(TestVocabularyWindow)
#include "test_iqdw.moc"
