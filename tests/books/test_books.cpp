#include "TestApp.h"
#include "WindowDriver.h"
#include "books/CategoryBookWindow.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/RecordBookController.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// A fresh application folder with the given entries ("name|description|category|keyword",
// ~ or a missing field for null) and one book opened on it.
struct Book : WindowDriver<Book> {
    TestApp app;
    QString table;
    std::unique_ptr<books::CategoryBookWindow> w;

    explicit Book(bool document, const QStringList& entries = {})
        : table(document ? "wblb" : "qqzx")
    {
        for (const QString& e : entries)
            add(e);
        app.context().openDatabase();
        w = std::make_unique<books::CategoryBookWindow>(
            document ? books::documentBook() : books::miscellanyBook(), app.context());
        w->show();
    }
    void add(QString entry) // through plain SQLite, behind the window's back
    {
        entry = QString(entry + QString("|~").repeated(3 - entry.count(u'|'))).replace("'", "''");
        app.exec(QString("insert into %1 values('%2')")
                     .arg(table, entry.replace("|", "','"))
                     .replace("'~'", "NULL"));
    }
    QTreeWidget* tree() { return get<QTreeWidget>("TreeView1"); }
    QStringList boxes() // Text1, Combo1, gjz, Text2
    {
        return {recordbook::boxText(get("Text1")), recordbook::boxText(get("Combo1")),
                recordbook::boxText(get("gjz")), recordbook::boxText(get("Text2"))};
    }
    QStringList rows() // in the form the constructor takes, ~ for null
    {
        return app.column("select ifnull(外部,'~')||'|'||ifnull(说明,'~')||'|'||"
                          "ifnull(分类,'~')||'|'||ifnull(关键字,'~') from " +
                          table);
    }
};

} // namespace

class TestCategoryBook : public QObject {
    Q_OBJECT
private slots:
    void loadAndNodeClick_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("blanks kept") << " 空格 " << QStringList{"/b"};
        QTest::newRow("letter case") << "Music" << QStringList{"/m", "/M"};
        QTest::newRow("quote") << "it's" << QStringList{"/q"};
        QTest::newRow("empty text") << "" << QStringList{"/e"};
    }

    void loadAndNodeClick()
    {
        QFETCH(QString, node);
        QFETCH(QStringList, lines);
        Book b(true, {"/a|甲|文档", "/b|乙| 空格 ", "/m|丙|Music", "/d|丁|文档", "/M|戊|MUSIC",
                      "/q|己|it's", "/e|庚|", "~|辛"});
        // A node per category, null excepted, letter case grouped; the box lists them, shows none.
        auto* combo = b.get<QComboBox>("Combo1");
        QStringList nodes{combo->currentText()};
        for (int i = 0; i < b.tree()->topLevelItemCount(); ++i)
            nodes << b.tree()->topLevelItem(i)->text(0) + "=" + combo->itemText(i);
        QCOMPARE(nodes,
                 (QStringList{"", "文档=文档", " 空格 = 空格 ", "Music=Music", "it's=it's", "="}));
        QCOMPARE(b.lines(), (QStringList{"/a", "/b", "/m", "/d", "/M", "/q", "/e", ""}));

        QTreeWidgetItem* item = b.tree()->findItems(node, Qt::MatchExactly).value(0);
        QTest::mouseClick(b.tree()->viewport(), Qt::LeftButton, {},
                          b.tree()->visualItemRect(item).center());
        QCOMPARE(b.lines() << combo->currentText(), lines + QStringList{node});
        // The lines stand for the listed entries: a click loads the right one.
        b.clickLine(lines.size() - 1);
        QCOMPARE(b.boxes().at(0), b.app.scalar("select 说明 from wblb where 外部='" + lines.last() +
                                               "' collate binary"));
    }

    void searches_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("substring") << QString("zwcz") << " 香蕉 " << QStringList{"/1", "/2"};
        QTest::newRow("quote and percent") << QString("zwcz") << "it's 50%" << QStringList{"/4"};
        QTest::newRow("any char") << QString("Image6") << "香x"
                                  << QStringList{"/1", "/2", "/3", "/6"};
    }

    void searches()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        Book b(true, {"/1|苹果香蕉|水果|k", "/2|香蕉", "/3|", "/4|it's 50%", "/5|abcdefgh",
                      "/6|xyz_1", "/7"});
        b.clickLine(0);
        b.type("Text2", text);
        b.press(button);
        QCOMPARE(b.lines(), lines);
        QCOMPARE(b.w->bookCursor()->recordCount(), lines.size());
        QCOMPARE(b.boxes(), (QStringList{"", "", "k", text})); // the keyword stays
    }

    // 清空 leaves no line selected, so a click on the line it showed loads it again.
    void clickAfterClear_data()
    {
        QTest::addColumn<bool>("document");
        QTest::newRow("documents") << true;
        QTest::newRow("miscellany") << false;
    }
    void clickAfterClear()
    {
        QFETCH(bool, document);
        Book b(document, {"/1|甲|书|k1", "/2|乙"});
        b.clickLine(0);
        const QStringList loaded = b.boxes();
        QCOMPARE(loaded.mid(0, 3), (QStringList{"甲", "书", "k1"}));
        b.press("Image7");
        QCOMPARE(b.selected(), -1);
        b.clickLine(0);
        QCOMPARE(b.boxes(), loaded);
    }

    void keywordsClearAndRefresh()
    {
        Book b(true, {"/1|甲|书|k1", "/2|乙|书|  ", "/3|丙", "/4|丁|~|k2 "});
        b.clickLine(0);
        b.type("Text2", "x");
        b.press("Image7");
        QCOMPARE(b.boxes(), (QStringList{"", "书", "", ""}));
        QCOMPARE(b.lines().size(), 4);
        b.press("Image5"); // the list empties over a cursor that holds every entry
        QCOMPARE(b.boxes() << b.lines().join(',')
                           << QString::number(b.w->bookCursor()->recordCount()),
                 (QStringList{"  k1  k2 ", "", "", "", "", "4"}));
        b.add("/5|戊|新类");
        b.press("Image4");
        QCOMPARE(b.lines(), (QStringList{"/1", "/2", "/3", "/4", "/5"}));
        QCOMPARE(b.get<QComboBox>("Combo1")->count(), 2);
        // The category box lists categories but holds none: the entry gets a null one.
        b.app.dialogs.files << "/6";
        b.press("Image1");
        QCOMPARE(b.rows().last(), "/6|  k1  k2 |~|~");
    }

    void add_data()
    {
        QTest::addColumn<bool>("document");
        QTest::addColumn<QString>("file");      // the dialog's answer; empty: cancelled
        QTest::addColumn<QStringList>("typed"); // Text1, Combo1, gjz, Text2
        QTest::addColumn<QString>("row");       // the new row; empty: none
        QTest::newRow("document") << true << "/文档/a b.txt" << QStringList{"说", "类", "k", "搜"}
                                  << "/文档/a b.txt|说|类|k";
        QTest::newRow("cancelled") << true << "" << QStringList{"说", "类", "k", ""} << "";
        QTest::newRow("miscellany")
            << false << "" << QStringList{"说", "类", "k", " 123 "} << " 123 |说|类|k";
    }

    void add()
    {
        QFETCH(bool, document);
        QFETCH(QString, file);
        QFETCH(QStringList, typed);
        QFETCH(QString, row);
        const QStringList old{"旧|旧事|~|~", "另|另事|~|~"};
        Book b(document, old);
        // After a search the list shows one entry; an add lists them all.
        b.type("Text2", "另事");
        b.press("zwcz");
        for (int i = 0; i < 4; ++i)
            b.type(QStringList{"Text1", "Combo1", "gjz", "Text2"}[i], typed[i]);
        if (!file.isEmpty()) b.app.dialogs.files << file;
        b.press("Image1");

        QCOMPARE(b.rows(), row.isEmpty() ? old : old + QStringList{row});
        QCOMPARE(b.app.dialogs.fileQuestions.size(), document ? 1 : 0);
        // The new entry is the selected last line, loaded into the boxes.
        QCOMPARE(b.lines().size(), row.isEmpty() ? 1 : 3);
        QCOMPARE(b.w->bookCursor()->recordCount(), b.lines().size());
        QCOMPARE(b.selected(), row.isEmpty() ? -1 : 2);
        if (document && !row.isEmpty()) typed[3].clear();
        QCOMPARE(b.boxes(), typed);
        QVERIFY(b.app.dialogs.messages.isEmpty());
    }

    void failedFileLinkIsReported()
    {
        Book b(true, {"/a|甲"});
        b.app.exec("create trigger full before insert on wblb "
                   "begin select raise(abort, '磁盘已满'); end");
        b.app.dialogs.files << "/b";
        b.press("Image1");
        QCOMPARE(b.app.dialogs.texts(), QStringList{"无法添加文件链接：磁盘已满"});
        QCOMPARE(b.lines(), QStringList{"/a"});
        QVERIFY(b.app.exitCodes.isEmpty());
    }

    void modify_data()
    {
        QTest::addColumn<bool>("document");
        QTest::addColumn<QString>("row");
        QTest::newRow("document: the path stays") << true << "/a|新|~|k9";
        QTest::newRow("miscellany: renamed") << false << "新名|新|~|k9";
    }

    void modify()
    {
        QFETCH(bool, document);
        QFETCH(QString, row);
        Book b(document, {"/a|甲|书|k", "/b|乙|书|k2"});
        b.clickLine(0);
        b.type("Text1", "新");
        b.type("Combo1", "");
        b.type("gjz", "k9");
        b.type("Text2", "新名");
        b.press("Image2");
        QCOMPARE(b.rows(), (QStringList{row, "/b|乙|书|k2"}));
        QCOMPARE(b.app.dialogs.texts(), QStringList{"设置相关信息成功！"});
        // The edited line is selected again and shows the entry as stored.
        QCOMPARE(QString::number(b.selected()) + b.lines().first(), "0" + row.section('|', 0, 0));
        QCOMPARE(b.boxes(), (QStringList{"新", "", "k9", document ? "" : "新名"}));
    }

    void needsASelectedLine()
    {
        Book b(true, {"/a|甲|书|k"});
        b.type("Text1", "改");
        b.press("Image2");
        b.press("dcsc");
        b.press("Image5"); // an empty list over a cursor holding every entry
        b.press("Image2");
        b.press("dcsc");
        QCOMPARE(b.app.dialogs.texts(), QStringList(4, recordbook::kSelectFirstText));
        QCOMPARE(b.rows(), QStringList{"/a|甲|书|k"});
    }

    void deleteUntilEmpty()
    {
        QTemporaryFile linked;
        QVERIFY(linked.open());
        Book b(true, {linked.fileName() + "|甲|书|k", "/b|乙"});
        b.clickLine(0);
        b.app.dialogs.answers << platform::Answer::No << platform::Answer::Yes;
        b.press("dcsc"); // answered No
        b.type("Text2", "x");
        b.press("dcsc");
        QCOMPARE(b.rows(), QStringList{"/b|乙|~|~"});
        QCOMPARE(b.boxes(), QStringList(4, QString()));
        QVERIFY(QFile::exists(linked.fileName())); // only the link goes
        b.clickLine(0);
        b.press("dcsc");
        QCOMPARE(b.lines(), QStringList());
        b.press("dcsc");
        const QString ask = "删除该条信息吗?", done = "删除成功！";
        QCOMPARE(b.app.dialogs.texts(),
                 (QStringList{ask, ask, done, ask, done, "已经没有一条事务信息了！"}));
        QCOMPARE(b.app.dialogs.messages.first().buttons, platform::Buttons::YesNoDefaultNo);
    }

    void doubleClick_data()
    {
        QTest::addColumn<bool>("document");
        QTest::addColumn<QString>("failure"); // what the desktop answers
        QTest::newRow("document") << true << "";
        QTest::newRow("document, file gone") << true << "找不到文件：/x/a b.txt";
        QTest::newRow("miscellany opens nothing") << false << "";
    }

    void doubleClick()
    {
        QFETCH(bool, document);
        QFETCH(QString, failure);
        Book b(document, {"/first|甲", " /x/a b.txt |乙|书|k"});
        b.app.desktop.result = failure;
        b.clickLine(1, true);
        QCOMPARE(b.app.desktop.opened, document ? QStringList{"/x/a b.txt"} : QStringList());
        QCOMPARE(b.app.dialogs.texts(), failure.isEmpty() ? QStringList() : QStringList{failure});
        QCOMPARE(b.boxes().mid(0, 3), (QStringList{"乙", "书", "k"}));
        QCOMPARE(b.rows().size(), 2);
    }

    // Menu items run their buttons' commands from one table; one stands for all.
    void menusAndReturn()
    {
        Book b(false, {"12345|同学|QQ"});
        b.add("a@b.c|老师|邮箱");
        b.get<QAction>("zssx")->trigger();
        QCOMPARE(b.lines(), (QStringList{"12345", "a@b.c"}));
        b.press("Image3");
        QVERIFY(!b.w->isVisible() && !b.w->bookCursor() && !b.w->categoryCursor());
        QVERIFY(b.app.exitCodes.isEmpty());
    }
};

QTEST_MAIN(TestCategoryBook)
#include "test_books.moc"
