// Living with the windows: their icons, the keyboard, what the status line
// says, which answer Enter gives in a delete confirmation.
#include "TestApp.h"
#include "books/BookConfig.h"
#include "books/CategoryBookWindow.h"
#include "platform/Icons.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/TextBoxes.h"
#include "reminders/ReminderWindow.h"
#include "vocabulary/VocabularyWindow.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

namespace {

// A window of the given name on a fresh application folder; `sql` runs first.
struct Opened {
    TestApp app;
    std::unique_ptr<QWidget> w;

    explicit Opened(const QString& name, const QStringList& sql = {})
    {
        for (const QString& s : sql)
            app.exec(s);
        app.context().openDatabase();
        shell::AppContext& c = app.context();
        if (name == "rmd") w = std::make_unique<reminders::ReminderWindow>(c);
        if (name == "IQDW") w = std::make_unique<vocabulary::VocabularyWindow>(c);
        if (name == "yycxlb")
            w = std::make_unique<books::CategoryBookWindow>(books::documentBook(), c);
        if (name == "qqzxcx")
            w = std::make_unique<books::CategoryBookWindow>(books::miscellanyBook(), c);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        // The vocabulary lists nothing until asked.
        if (name == "IQDW") get<QAbstractButton>("qbyy")->click();
    }
    template <class T = QWidget> T* get(const QString& name) const
    {
        T* widget = w->findChild<T*>(name);
        if (!widget) qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QStringList lines() const
    {
        QStringList out;
        auto* list = get<QListView>("List1");
        for (int i = 0; i < list->model()->rowCount(); ++i)
            out << list->model()->index(i, 0).data().toString();
        return out;
    }
    QString status() const { return get<QLabel>("statusLine")->text(); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    void type(const QString& box, const QString& text) const
    {
        QWidget* target = get(box);
        recordbook::setBoxText(target, QString());
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, text, {});
    }
};

QImage drawn(const QIcon& icon, int size)
{
    return icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

QByteArray bits(const QImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

int opaquePixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 128;
    return n;
}

const QStringList kWindows{"rmd", "IQDW", "yycxlb", "qqzxcx"};

} // namespace

class TestEveryday : public QObject {
    Q_OBJECT

private slots:
    // Each picture button shows an icon of its own, drawn whatever the desktop's theme.
    void iconsDistinct_data()
    {
        QTest::addColumn<QString>("window");
        for (const QString& w : kWindows)
            QTest::newRow(qPrintable(w)) << w;
    }
    void iconsDistinct()
    {
        QFETCH(QString, window);
        QIcon::setThemeName(QStringLiteral("no-such-theme"));
        Opened o(window);
        QMap<QByteArray, QString> seen;
        const auto buttons = o.w->findChildren<QToolButton*>(
            QRegularExpression("^(Image|dyld|wbcx|zwcz|qbyy|ckkc|yyld|dcsc)"));
        QVERIFY(buttons.size() >= 9);
        for (QToolButton* button : buttons) {
            const QImage image = drawn(button->icon(), 16);
            QVERIFY2(opaquePixels(image) > 20, qPrintable(button->objectName()));
            QVERIFY2(!seen.contains(bits(image)),
                     qPrintable(button->objectName() + " looks like " + seen.value(bits(image))));
            seen.insert(bits(image), button->objectName());
        }
    }

    void applicationIcon_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("menu") << 16;
        QTest::newRow("panel") << 32;
        QTest::newRow("large") << 256;
    }
    void applicationIcon()
    {
        QFETCH(int, size);
        const QImage image = drawn(platform::lumoIcon("lumo"), size);
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(opaquePixels(image) > size * size / 2);
        QVERIFY(platform::lumoIcon("no-such-icon").isNull());
    }

    // Top to bottom, left to right, each picker right after its box; Tab leaves
    // the multi-line boxes; Shift+Tab walks the same way back.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("rmd") << "rmd"
                             << QStringList{"sjd",        "DTPicker1", "qssj",       "DTPicker2",
                                            "jssj",       "DTPicker3", "lxr",        "lxdd",
                                            "jtzz",       "sj",        "dh",         "mysj",
                                            "DTPicker9",  "mrsj",      "DTPicker10", "mzsj",
                                            "DTPicker11", "mymrsj",    "DTPicker12", "nlmnsj",
                                            "DTPicker13", "nlmysj",    "DTPicker14", "affairBox",
                                            "searchBox",  "gjz",       "List1"};
        QTest::newRow("IQDW") << "IQDW"
                              << QStringList{"zw",   "zwcz",   "Image6", "qbyy",   "Image2",
                                             "ckkc", "Image3", "Image4", "Image7", "yyld",
                                             "dcsc", "Image1", "List1",  "RTB",    "rtzw",
                                             "gjz",  "xszw",   "yczw",   "ComboE", "ComboC"};
        const QStringList book{"Image1",    "Image2", "dcsc",   "Text2",  "zwcz",
                               "Image6",    "Image5", "Image7", "Image4", "Image3",
                               "TreeView1", "List1",  "Text1",  "Combo1", "gjz"};
        QTest::newRow("yycxlb") << "yycxlb" << book;
        QTest::newRow("qqzxcx") << "qqzxcx" << book;
    }
    void tabOrder()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        Opened o(window);
        o.get(order.first())->setFocus();
        QStringList forward{o.focused()};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << o.focused();
        }
        QCOMPARE(forward, order);
        QStringList back{o.focused()};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            back.prepend(o.focused());
        }
        QCOMPARE(back, order);
        for (auto* box : o.w->findChildren<QPlainTextEdit*>())
            QVERIFY2(!box->toPlainText().contains('\t'), qPrintable(box->objectName()));
    }

    // The status line is there from the start, so the first command does not
    // push the window's rows up.
    void statusLineFromStart_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        for (const auto& [window, button] :
             {std::pair("rmd", "Command8"), {"yycxlb", "Image4"}, {"qqzxcx", "Image4"}})
            QTest::newRow(window) << QString(window) << QString(button);
    }
    void statusLineFromStart()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        Opened o(window);
        QCoreApplication::sendPostedEvents();
        auto* main = qobject_cast<QMainWindow*>(o.w.get());
        const int before = main->centralWidget()->height();
        QVERIFY(o.w->findChild<QLabel*>("statusLine"));
        o.get<QAbstractButton>(button)->click();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(main->centralWidget()->height(), before);
        QVERIFY(!o.status().isEmpty());
    }

    // Enter searches in the boxes that only search; the books' Text2 also names an entry.
    void enterSearches_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("sql");
        QTest::addColumn<QStringList>("lines");
        const QStringList affairs{"insert into mp(要事) values('买书')",
                                  "insert into mp(要事) values('看戏')"};
        QTest::newRow("reminders") << "rmd"
                                   << "searchBox" << affairs << QStringList{"买书"};
        QTest::newRow("vocabulary")
            << "IQDW"
            << "zw"
            << QStringList{"delete from foxcjdc", "insert into foxcjdc(超级单词) values('book书')",
                           "insert into foxcjdc(超级单词) values('pen笔')"}
            << QStringList{"book书"};
        QTest::newRow("book unchanged")
            << "qqzxcx"
            << "Text2" << QStringList{"insert into qqzx values('书店','','',''),('戏院','','','')"}
            << QStringList{"书店", "戏院"};
    }
    void enterSearches()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QStringList, sql);
        QFETCH(QStringList, lines);
        Opened o(window, sql);
        if (window == "rmd") o.get<QAbstractButton>("Command8")->click();
        o.type(box, lines.first() == "book书" ? "book" : lines.first().left(1));
        QTest::keyClick(o.get(box), Qt::Key_Return);
        QCOMPARE(o.lines(), lines);
        QVERIFY(o.app.dialogs.messages.isEmpty());
    }

    // key, what the key did: the box it focused, the confirmation it asked, the list it showed.
    void shortcuts_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("outcome");
        const QKeySequence find(Qt::CTRL | Qt::Key_F), clear(Qt::CTRL | Qt::Key_N);
        const QKeySequence del(Qt::Key_Delete), f5(Qt::Key_F5);
        const auto row = [](const char* name, const char* from, const QKeySequence& key,
                            const char* outcome) {
            QTest::newRow(name) << QString(name).section(' ', 0, 0) << QString(from) << key
                                << QString(outcome);
        };
        row("rmd find", "gjz", find, "focus searchBox");
        row("rmd clear", "List1", clear, "empty gjz");
        row("rmd delete", "List1", del, "asked");
        row("rmd delete in box", "gjz", del, "quiet");
        row("rmd refresh", "gjz", f5, "共 2 条");
        row("IQDW find", "gjz", find, "focus zw");
        row("IQDW clear", "List1", clear, "empty gjz");
        row("IQDW delete", "List1", del, "asked");
        row("qqzxcx find", "gjz", find, "focus Text2");
        row("qqzxcx clear", "List1", clear, "empty gjz");
        row("qqzxcx delete", "List1", del, "asked");
        row("qqzxcx refresh", "gjz", f5, "共 3 条");
        row("yycxlb refresh", "gjz", f5, "共 0 条");
    }
    void shortcuts()
    {
        QFETCH(QString, window);
        QFETCH(QString, from);
        QFETCH(QKeySequence, key);
        QFETCH(QString, outcome);
        Opened o(window, {"insert into mp(要事,要事关键字) values('甲','k'),('乙','k')",
                          "insert into qqzx values('书店','','','k'),('戏院','','','k')"});
        auto* list = o.get<QListView>("List1");
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->currentIndex()).center());
        if (window == "qqzxcx") o.app.exec("insert into qqzx values('新','','','')");
        o.type("gjz", "k");
        o.get(from)->setFocus();
        o.app.dialogs.answers.enqueue(platform::Answer::No);
        QTest::keySequence(o.get(from), key);
        if (outcome.startsWith("focus "))
            QCOMPARE(o.focused(), outcome.mid(6));
        else if (outcome == "empty gjz")
            QCOMPARE(recordbook::boxText(o.get("gjz")), QString());
        else if (outcome == "asked" || outcome == "quiet")
            QCOMPARE(o.app.dialogs.texts(),
                     outcome == "asked" ? QStringList{"删除该条信息吗?"} : QStringList{});
        else
            QCOMPARE(o.status(), outcome);
    }

    // Every confirmation that deletes leaves 否 as the answer Enter gives.
    void deleteDefaultsToNo_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        const auto row = [](const char* name, const char* window, const char* button) {
            QTest::newRow(name) << QString(window) << QString(button);
        };
        row("delete affair", "rmd", "Command2");
        row("delete all affairs", "rmd", "Command4");
        row("clear expired", "rmd", "Image4");
        row("delete word", "IQDW", "dcsc");
        row("delete entry", "qqzxcx", "dcsc");
    }
    void deleteDefaultsToNo()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        Opened o(window,
                 {"insert into mp(要事) values('甲')", "insert into qqzx values('书店','','','')"});
        auto* list = o.get<QListView>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        o.app.dialogs.answers.enqueue(platform::Answer::No);
        o.get<QAbstractButton>(button)->click();
        QVERIFY(!o.app.dialogs.messages.isEmpty());
        QCOMPARE(o.app.dialogs.messages.first().buttons, platform::Buttons::YesNoDefaultNo);
    }

    // What the status line says after the window's own commands.
    void statusLine_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const char* window, const char* search,
                            const char* button, const char* text) {
            QTest::newRow(name) << QString(window) << QString(search) << QString(button)
                                << QString(text);
        };
        row("rmd refresh", "rmd", "", "Command8", "共 3 条");
        row("rmd found", "rmd", "书", "Image5", "找到 2 条");
        row("rmd none", "rmd", "琴", "Image17", "没有找到");
        row("book opened", "qqzxcx", "", "", "共 1 条");
        row("book found", "qqzxcx", "店", "zwcz", "找到 1 条");
        row("book none", "qqzxcx", "琴", "Image6", "没有找到");
    }
    void statusLine()
    {
        QFETCH(QString, window);
        QFETCH(QString, search);
        QFETCH(QString, button);
        QFETCH(QString, text);
        Opened o(window, {"insert into mp(要事) values('买书'),('看书'),('看戏')",
                          "insert into qqzx values('店','书店','','')"});
        if (!search.isEmpty()) o.type(window == "rmd" ? "searchBox" : "Text2", search);
        if (!button.isEmpty()) o.get<QAbstractButton>(button)->click();
        QCOMPARE(o.status(), text);
    }

    // A new category shows in the tree and the box at once; the list keeps its search.
    void addShowsCategory_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("add") << "Image1";
        QTest::newRow("modify") << "Image2";
    }
    void addShowsCategory()
    {
        QFETCH(QString, button);
        Opened o("qqzxcx", {"insert into qqzx values('书店','','旧类','')"});
        auto* list = o.get<QListView>("List1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        o.type("Text2", "戏院");
        o.get<QComboBox>("Combo1")->setEditText("新类");
        o.get<QAbstractButton>(button)->click();
        QStringList nodes;
        auto* tree = o.get<QTreeWidget>("TreeView1");
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            nodes << tree->topLevelItem(i)->text(0);
        QStringList items;
        auto* combo = o.get<QComboBox>("Combo1");
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        const QStringList expected =
            button == "Image1" ? QStringList{"旧类", "新类"} : QStringList{"新类"};
        QCOMPARE(nodes, expected);
        QCOMPARE(items, expected);
    }

    // A screen reader reads the label before a box, or else its tool tip.
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* name, const char* window, const char* box,
                            const char* accessible) {
            QTest::newRow(name) << QString(window) << QString(box) << QString(accessible);
        };
        row("time point", "rmd", "sjd", "时间点");
        row("daily", "rmd", "mymrsj", "每月每日时间");
        row("affair text", "rmd", "affairBox", "重要提醒事务一览表");
        row("affair keyword", "rmd", "gjz", "关键字设置");
        row("picker tip", "rmd", "DTPicker1", "请选择事务提醒时间点");
        row("word keyword", "IQDW", "gjz", "关键字");
        row("word chinese tip", "IQDW", "rtzw", "显示查询到的对应的中文");
        row("category", "qqzxcx", "Combo1", "分类");
    }
    void accessibleNames()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, name);
        Opened o(window);
        QCOMPARE(o.get(box)->accessibleName(), name);
    }

    // The long form a pick shows fits, so the column does not move.
    void pickerKeepsItsWidth()
    {
        Opened o("rmd");
        auto* picker = o.get<QDateEdit>("DTPicker1");
        const int before = picker->width();
        picker->setDate(QDate(2026, 12, 30));
        QVERIFY(picker->displayFormat().contains("dddd"));
        QCOMPARE(picker->width(), before);
        QVERIFY(picker->fontMetrics().horizontalAdvance(picker->text()) < picker->width());
        QCOMPARE(o.get<QLineEdit>("sjd")->text(), QString("2026-12-30"));
    }

    // The stock vocabulary's part-of-speech marks follow the meaning.
    void stockVocabulary_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("line");
        QTest::newRow("two marks") << QString("book") << QString("book书；预订（n.；v.）");
        QTest::newRow("one mark") << QString("I") << QString("I我（pron.）");
        QTest::newRow("mark after meanings")
            << QString("that") << QString("that那；那个；那么（pron.；adv.）");
    }
    void stockVocabulary()
    {
        QFETCH(QString, english);
        QFETCH(QString, line);
        TestApp app;
        QCOMPARE(app.scalar("select count(*) from foxcjdc where 中文 glob '[a-z]*. *'"), "0");
        QCOMPARE(
            app.scalar("select 超级单词 from foxcjdc where 英文='" + english + "' collate binary"),
            line);
        QCOMPARE(app.scalar("select 英文||中文 from foxcjdc where 英文='" + english +
                            "' collate binary"),
                 line);
    }
};

QTEST_MAIN(TestEveryday)
#include "test_everyday.moc"
