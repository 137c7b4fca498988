#include "RmdTests.h"
#include "TestApp.h"
#include "app/CommandLine.h"
#include "reminders/AffairText.h"
#include "reminders/ReminderWindow.h"
#include "reminders/TextBoxes.h"
#include "store/Recordset.h"

#include <QtTest>
#include <QtWidgets>

using reminders::ReminderWindow;

namespace {

const QDate kSunday(2026, 12, 6);
const QDate kMonday(2026, 12, 7);
const char* const kBoxes[] = {"gjz", "sjd", "qssj", "jssj", "lxr",  "lxdd",  "jtzz",
                              "sj",  "dh",  "mysj", "mzsj", "mrsj", "mymrsj"};

QString stored(const QString& summary, const QString& text)
{
    return summary + QStringLiteral(" ---标记\r\n") + text + QStringLiteral("\r\n") +
           QString(88, u'-');
}
QString entry(const QString& text)
{
    return text + QStringLiteral("\n\r\n\r");
}
// Typing as key events; QTest::keyClicks takes Latin-1 only.
void typeInto(QWidget* widget, const QString& text)
{
    if (!text.isEmpty())
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}
QString insert(const QString& columns, const QString& values)
{
    return QStringLiteral("insert into mp(%1) values(%2)").arg(columns, values);
}

// A fresh application folder and the reminder window opened on it.
struct Book {
    TestApp app;
    QByteArray cliDue;
    std::unique_ptr<ReminderWindow> w;

    explicit Book(const QDate& today = kMonday, const QStringList& statements = {})
    {
        app.clock.current = QDateTime(today, QTime(9, 30, 5));
        for (const QString& sql : statements)
            app.exec(sql);
        // What `rmd --due` prints for the same book and day, before the
        // window's start-up changes the book.
        QBuffer out(&cliDue), err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        app::runCommand(app::parseCommandLine({"--due", "--date", today.toString(Qt::ISODate)}),
                        app.path(), app.clock, out, err);
        app.context().openDatabase();
        w = std::make_unique<ReminderWindow>(app.context());
        w->show();
    }
    template <class T = QLineEdit> T* get(const char* name)
    {
        T* widget = w->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no widget %s", name);
        return widget;
    }
    void press(const char* button)
    {
        QTest::mouseClick(get<QAbstractButton>(button), Qt::LeftButton);
    }
    void type(const char* box, const QString& text)
    {
        get(box)->clear();
        typeInto(get(box), text);
    }
    QListView* list() { return get<QListView>("List1"); }
    QStringList lines()
    {
        QStringList out;
        for (int i = 0; i < list()->model()->rowCount(); ++i)
            out << list()->model()->index(i, 0).data().toString();
        return out;
    }
    QPoint linePoint(int n)
    {
        const QModelIndex index = list()->model()->index(n, 0);
        list()->scrollTo(index);
        return list()->visualRect(index).center();
    }
    void clickLine(int n)
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, linePoint(n));
    }
    void doubleClickLine(int n)
    {
        // What the platform delivers: a whole click, then press and double-click.
        const QPoint at = linePoint(n);
        QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }
    int selected()
    {
        const QModelIndexList s = list()->selectionModel()->selectedIndexes();
        return s.isEmpty() ? -1 : s.first().row();
    }
    QStringList boxes()
    {
        QStringList out;
        for (const char* name : kBoxes)
            out << get(name)->text();
        return out << w->rawAffairText();
    }
    QStringList db(const QString& column) { return app.column("select " + column + " from mp"); }
    store::Recordset& cursor() { return *app.context().affairCursor; }
    QStringList messages() { return app.dialogs.texts(); }
};

void answerYesAndNo()
{
    QTest::addColumn<platform::Answer>("answer");
    QTest::newRow("yes") << platform::Answer::Yes;
    QTest::newRow("no") << platform::Answer::No;
}

} // namespace

void TestReminderWindow::init()
{
    reminders::setDragRunner({});
}

void TestReminderWindow::loadOnFixedDates_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("due");
    QTest::addColumn<QString>("zdtxsw");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("weekday");
    QTest::newRow("empty book leaves zdtxsw alone")
        << kSunday << QStringList{"update ma set zdtxsw='旧'"} << QString() << "旧" << QStringList()
        << "今天是:星期日";
    const QString twice = entry("A") + entry("A") + entry("");
    QTest::newRow("sunday: time point and weekday, empty affairs removed")
        << kSunday
        << QStringList{insert("要事,时间点,每周时间", "'A','2026-12-06','0'"),
                       insert("要事,每周时间", "'B','100'"), insert("要事,每周时间", "'',''"),
                       insert("要事,每周时间", "NULL,'100'")}
        << twice << twice << QStringList{"A", "B"} << "今天是:星期日";
    QTest::newRow("16 May") << QDate(2027, 5, 16)
                            << QStringList{insert("要事,每周时间,每月每日时间", "'M','100','5-16'"),
                                           insert("要事,每周时间,每月每日时间",
                                                  "'P','100',' 05-16'"),
                                           insert("要事,每周时间,每月每日时间", "'N','100','12-'"),
                                           insert("要事,每周时间,每月时间", "'Mo','100','5'"),
                                           insert("要事,每周时间,每日时间", "'D','100','16'")}
                            << entry("M") + entry("P") + entry("Mo") + entry("D")
                            << entry("M") + entry("P") + entry("Mo") + entry("D")
                            << QStringList{"M", "P", "N", "Mo", "D"} << "今天是:星期日";
    QTest::newRow("last day of a period")
        << QDate(2026, 12, 31)
        << QStringList{insert("要事,起始时间,结束时间", "'P1','2026-12-01','2026-12-31'"),
                       insert("要事,起始时间,结束时间", "'P2','2026-12-01','2026-12-30'"),
                       insert("要事,结束时间", "'P3','2026-12-31'")}
        << entry("P1") << entry("P1") << QStringList{"P1", "P2", "P3"} << "今天是:星期四";
    QTest::newRow("nothing due") << kMonday << QStringList{insert("要事,每周时间", "'X','0'")}
                                 << QString() << "目前没有重要事务提醒" << QStringList{"X"}
                                 << "今天是:星期一";
}

void TestReminderWindow::loadOnFixedDates()
{
    QFETCH(QDate, today);
    QFETCH(QStringList, rows);
    QFETCH(QString, due);
    QFETCH(QString, zdtxsw);
    QFETCH(QStringList, kept);
    QFETCH(QString, weekday);
    Book b(today, rows);
    QCOMPARE(b.w->rawAffairText(), due);
    QCOMPARE(b.cliDue, due.toUtf8());
    QCOMPARE(b.app.scalar("select zdtxsw from ma"), zdtxsw);
    QCOMPARE(b.db("要事"), kept);
    QCOMPARE(b.lines(), kept);
    QCOMPARE(b.selected(), -1);
    QCOMPARE(b.get("Text3")->text(), "今天是:" + today.toString("yyyy-MM-dd"));
    QCOMPARE(b.get("Text5")->text(), weekday);
    // Setting the pickers to today wrote no box.
    QCOMPARE(b.boxes().mid(0, 13), QStringList(13, QString()));
    QVERIFY(b.app.dialogs.messages.isEmpty());
}

void TestReminderWindow::loadSetsClockDateAndMinutes()
{
    Book b(kSunday);
    QCOMPARE(b.get<QLabel>("Label9")->text(), "09:30:05");
    auto* minutes = b.get<QComboBox>("Combolz");
    QCOMPARE(minutes->currentText(), "30");
    QStringList items;
    for (int i = 0; i < minutes->count(); ++i)
        items << minutes->itemText(i);
    QCOMPARE(items, (QStringList{"30", "60", "90", "120", "150", "180", "210", "240"}));
    QCOMPARE(b.get<QDateEdit>("DTPicker11")->date(), kSunday);
    QVERIFY(b.w->mediaCursor() && b.w->mediaCursor()->isOpen());
    b.app.clock.current = QDateTime(kSunday, QTime(10, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(b.get<QLabel>("Label9")->text(), QString("10:00:00"), 3000);
}

void TestReminderWindow::addStoresComposedAffair_data()
{
    QTest::addColumn<QStringList>("typed"); // the 13 boxes of kBoxes
    QTest::addColumn<QString>("affair");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QString>("stored");
    const QString n = "<null>";
    QTest::newRow("every box empty")
        << QStringList(13, QString()) << QString()
        << QStringList{n, n, n, n, n, n, n, n, n, "", "100", "", ""} << stored("", "");
    QTest::newRow("every box filled")
        << QStringList{"kw",  "2004-5-16", "2004-5-19", "2004-5-22", "张三", "会议室", "北京",
                       "139", "010",       "5",         "0",         "16",   "5-16"}
        << "开会"
        << QStringList{"kw",  "2004-05-16", "2004-05-19", "2004-05-22", "张三", "会议室", "北京",
                       "139", "010",        "5",          "0",          "16",   "5-16"}
        << stored("时间点：2004-5-16  起始时间：2004-5-19  结束时间：2004-5-22  每月时间：5  "
                  "每周时间：0  每日时间：16  每月每日时间：5-16  联系人：张三  联系地点：会议室  "
                  "家庭住址：北京  联系人手机：139  联系人电话：010  ",
                  "开会");
}

void TestReminderWindow::addStoresComposedAffair()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, affair);
    QFETCH(QStringList, columns);
    QFETCH(QString, stored);
    Book b(kMonday, {insert("要事", "'旧事'")});
    for (int i = 0; i < 13; ++i)
        b.type(kBoxes[i], typed.at(i));
    b.w->setRawAffairText(QString());
    typeInto(b.get<QPlainTextEdit>("affairBox"), affair);
    b.type("searchBox", "旧");
    b.press("Command1");

    QStringList actual;
    const QStringList names{"要事关键字", "时间点||''", "起始时间||''", "结束时间||''", "联系人",
                            "联系地点",   "家庭住址",   "联系人手机",   "联系人电话",   "每月时间",
                            "每周时间",   "每日时间",   "每月每日时间"};
    for (const QString& column : names)
        actual << b.db(column).value(1);
    QCOMPARE(actual, columns);
    QCOMPARE(b.db("要事"), (QStringList{"旧事", stored}));
    // The editor shows the new record as stored, selected in the list.
    QCOMPARE(b.lines(), (QStringList{"旧事", reminders::listLineText(stored)}));
    QCOMPARE(b.selected(), 1);
    QCOMPARE(b.w->rawAffairText(), stored);
    QCOMPARE(b.get("sjd")->text(), columns.at(1) == "<null>" ? QString() : columns.at(1));
    QCOMPARE(b.get("gjz")->text(), typed.at(0));
    QCOMPARE(b.get("searchBox")->text(), QString());
    QCOMPARE(b.cursor().sql(), "select * from mp");
}

void TestReminderWindow::addTakesTheDueList()
{
    Book b(kSunday, {insert("要事,每周时间", "'周日事','0'")});
    b.press("Command1");
    QCOMPARE(b.db("要事").value(1), stored("", entry("周日事")));
}

void TestReminderWindow::modifyWritesNullsAndNests()
{
    const QString first = stored("联系人：甲  ", "事");
    Book b(kMonday, {insert("要事,要事关键字,时间点,联系人,联系地点,每月时间,每周时间,每日时间",
                            "'" + first + "','k','2026-12-24','甲','乙','5','3','9'")});
    b.clickLine(0);
    QCOMPARE(b.w->rawAffairText(), first);
    for (const char* name : {"gjz", "sjd", "lxr", "mysj", "mzsj"})
        b.get(name)->clear();
    b.press("Command5");
    const QString second = stored("每日时间：9  联系地点：乙  ", first);
    QCOMPARE(b.db("要事"), QStringList{second});
    QCOMPARE(b.db("要事关键字"), QStringList{"<null>"});
    QCOMPARE(b.db("时间点"), QStringList{"<null>"});
    QCOMPARE(b.db("联系人"), QStringList{"<null>"});
    QCOMPARE(b.db("每月时间"), QStringList{""});
    QCOMPARE(b.db("每周时间"), QStringList{"100"});
    QCOMPARE(b.selected(), 0);
    QCOMPARE(b.get("mzsj")->text(), "100");
    b.press("Command5");
    QCOMPARE(b.db("要事"), QStringList{stored("每日时间：9  联系地点：乙  ", second)});
}

void TestReminderWindow::modifyAndDeleteNeedASelectedLine()
{
    Book b(kMonday, {insert("要事", "'A'"), insert("要事", "'B'")});
    b.list()->setFocus();
    b.list()->selectionModel()->setCurrentIndex(b.list()->model()->index(1, 0),
                                                QItemSelectionModel::NoUpdate);
    b.type("lxr", "王");
    b.press("Command5");
    b.press("Command2");
    QCOMPARE(b.db("联系人"), (QStringList{"<null>", "<null>"}));
    QCOMPARE(b.db("要事"), (QStringList{"A", "B"}));
    QVERIFY(b.messages().isEmpty());
}

void TestReminderWindow::deleteAsksAndRemoves_data()
{
    answerYesAndNo();
}

void TestReminderWindow::deleteAsksAndRemoves()
{
    QFETCH(platform::Answer, answer);
    Book b(kMonday, {insert("要事", "'A'"), insert("要事,要事关键字,联系人", "'B','kb','乙'"),
                     insert("要事", "'C'")});
    b.clickLine(1);
    const QStringList before = b.boxes();
    b.app.dialogs.answers.enqueue(answer);
    b.press("Command2");
    QCOMPARE(b.messages(), QStringList{"删除该条信息吗?"});
    QCOMPARE(b.app.dialogs.messages.first().title, "警告");
    QCOMPARE(b.app.dialogs.messages.first().buttons, platform::Buttons::YesNo);
    if (answer == platform::Answer::Yes) {
        QCOMPARE(b.db("要事"), (QStringList{"A", "C"}));
        QCOMPARE(b.lines(), (QStringList{"A", "C"}));
        QCOMPARE(b.boxes(), QStringList{"kb"} + QStringList(13, QString()));
    } else {
        QCOMPARE(b.db("要事"), (QStringList{"A", "B", "C"}));
        QCOMPARE(b.boxes(), before);
    }
}

void TestReminderWindow::deleteAllEmptiesBookAndList_data()
{
    answerYesAndNo();
}

void TestReminderWindow::deleteAllEmptiesBookAndList()
{
    QFETCH(platform::Answer, answer);
    Book b(kMonday, {insert("要事,联系人", "'A','甲'"), insert("要事", "'B'")});
    b.clickLine(0);
    const QStringList before = b.boxes();
    b.app.dialogs.answers.enqueue(answer);
    b.press("Command4");
    QCOMPARE(b.messages(), QStringList{"全部删除吗?"});
    QCOMPARE(b.app.dialogs.messages.first().title, "警告");
    QCOMPARE(b.boxes(), before);
    if (answer == platform::Answer::No) {
        QCOMPARE(b.lines(), (QStringList{"A", "B"}));
        return;
    }
    QCOMPARE(b.db("要事"), QStringList());
    QCOMPARE(b.lines(), QStringList());
    // No later command acts on the deleted rows.
    b.press("Command2");
    QCOMPARE(b.messages().last(), "已经没有一条事务信息了！");
    QCOMPARE(b.app.dialogs.messages.last().title, "警告");
    QCOMPARE(b.app.dialogs.messages.last().buttons, platform::Buttons::Ok);
    b.press("Command1");
    QCOMPARE(b.db("联系人"), QStringList{"甲"});
    QVERIFY(b.app.exitCodes.isEmpty());
}

void TestReminderWindow::clearAndRefresh()
{
    Book b(kMonday, {insert("要事,要事关键字,联系人,每月时间", "'A','k','甲','5'")});
    b.clickLine(0);
    b.type("searchBox", "查");
    b.press("Command3");
    QCOMPARE(b.boxes(), QStringList(14, QString()));
    QCOMPARE(b.get("searchBox")->text(), "查");
    QCOMPARE(b.selected(), 0);

    b.app.exec(insert("要事", "'外来'"));
    b.type("gjz", "关键");
    b.w->setRawAffairText("备注");
    b.press("Command8");
    QCOMPARE(b.lines(), (QStringList{"A", "外来"}));
    QCOMPARE(b.w->rawAffairText(), QString());
    QCOMPARE(b.get("gjz")->text(), "关键");
    QCOMPARE(b.get("searchBox")->text(), "查");
    QCOMPARE(b.selected(), -1);
}

void TestReminderWindow::quitAndCloseEndTheProgram_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "Command7";
    QTest::newRow("menu") << "退出";
    QTest::newRow("close") << "close";
}

void TestReminderWindow::quitAndCloseEndTheProgram()
{
    QFETCH(QString, how);
    Book b(kMonday, {insert("要事", "'A'")});
    if (how == "close")
        b.w->close();
    else if (how == "Command7")
        b.press("Command7");
    else
        b.get<QAction>("actionQuit")->trigger();
    QCOMPARE(b.app.exitCodes, QList<int>{0});
    QVERIFY(!b.app.context().affairCursor);
}

void TestReminderWindow::badDateIsRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("add, no such month") << "Command1"
                                        << "sjd"
                                        << "时间点"
                                        << "2026-13-40";
    QTest::newRow("add, words") << "Command1"
                                << "qssj"
                                << "起始时间"
                                << "明天";
    QTest::newRow("modify, two-digit year") << "Command5"
                                            << "jssj"
                                            << "结束时间"
                                            << "12/6/26";
}

void TestReminderWindow::badDateIsRefused()
{
    QFETCH(QString, command);
    QFETCH(QString, box);
    QFETCH(QString, label);
    QFETCH(QString, text);
    Book b(kMonday, {insert("要事", "'A'")});
    b.clickLine(0);
    b.type(box.toLatin1(), text);
    b.type("lxr", "甲");
    const QStringList before = b.boxes();
    b.press(command.toLatin1());
    QCOMPARE(b.messages(),
             QStringList{"“" + label + "”框中的“" + text +
                         "”不是日期，请输入形如 2004-5-16 的日期，或用右边的日期选择框选择。"});
    QCOMPARE(b.app.dialogs.messages.first().title, "警告");
    QCOMPARE(b.boxes(), before);
    QCOMPARE(b.db("要事"), QStringList{"A"});
    QCOMPARE(b.db("联系人"), QStringList{"<null>"});
    QVERIFY(b.app.exitCodes.isEmpty());
}

void TestReminderWindow::pickersWriteTheirBoxes_data()
{
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    const QDate may16(2027, 5, 16);
    QTest::newRow("time point") << "DTPicker1"
                                << "sjd" << may16 << "2027-5-16";
    QTest::newRow("start") << "DTPicker2"
                           << "qssj" << QDate(2027, 11, 3) << "2027-11-3";
    QTest::newRow("end") << "DTPicker3"
                         << "jssj" << may16 << "2027-5-16";
    QTest::newRow("month") << "DTPicker9"
                           << "mysj" << may16 << "5";
    QTest::newRow("day") << "DTPicker10"
                         << "mrsj" << may16 << "16";
    QTest::newRow("sunday") << "DTPicker11"
                            << "mzsj" << may16 << "0";
    QTest::newRow("saturday") << "DTPicker11"
                              << "mzsj" << QDate(2027, 5, 22) << "6";
    QTest::newRow("month and day") << "DTPicker12"
                                   << "mymrsj" << QDate(2027, 1, 5) << "1-5";
}

void TestReminderWindow::pickersWriteTheirBoxes()
{
    QFETCH(QString, picker);
    QFETCH(QString, box);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    Book b;
    auto* edit = b.get<QDateEdit>(picker.toLatin1());
    edit->setDate(date);
    QCOMPARE(b.get(box.toLatin1())->text(), text);
    QCOMPARE(b.boxes().count(QString()), 13);
    if (picker == "DTPicker1")
        QVERIFY(edit->displayFormat().contains("年"));
    else
        QCOMPARE(edit->displayFormat(), "yyyy-MM-dd");
}

void TestReminderWindow::clickLoadsRecordIntoEditor()
{
    Book b(kMonday,
           {insert("要事", "'A'"),
            insert("要事,要事关键字,时间点,起始时间,结束时间,联系人,联系地点,家庭住址,联系人手机,"
                   "联系人电话,每月时间,每周时间,每日时间,每月每日时间",
                   "'B','k','2026-12-24 08:30:00','2026-01-02','2026-02-03','甲','乙','丙','139',"
                   "'010','5','100','16','5-16'")});
    b.type("searchBox", "留");
    b.clickLine(1);
    QCOMPARE(b.boxes(), (QStringList{"k", "2026-12-24", "2026-01-02", "2026-02-03", "甲", "乙",
                                     "丙", "139", "010", "5", "100", "16", "5-16", "B"}));
    QCOMPARE(b.cursor().absolutePosition(), 2);
    QCOMPARE(b.get("searchBox")->text(), "留");
}

void TestReminderWindow::searches_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    const QString sub = "Image5", any = "Image17";
    QTest::newRow("substring") << sub << "会议" << QStringList{"会议室开会"};
    QTest::newRow("any character")
        << any << "会议" << QStringList{"会议室开会", "会见客户", "讨论议程"};
    QTest::newRow("percent is literal") << sub << "50%" << QStringList{"50%完成"};
    QTest::newRow("underscore is literal") << any << "_" << QStringList{"a_b"};
    QTest::newRow("quote, blanks trimmed") << sub << "  it's " << QStringList{"it's ok"};
    QTest::newRow("hash and star") << sub << "#5# *" << QStringList{"#5# * 号"};
    QTest::newRow("no match") << sub << "没有" << QStringList();
    QTest::newRow("empty text finds every record")
        << sub << "" << QStringList{"会议室开会", "会见客户", "讨论议程", "50%完成", "500件",
                                    "it's ok",    "a_b",      "axb",      "#5# * 号"};
}

void TestReminderWindow::searches()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    QStringList rows;
    for (const char* t : {"会议室开会", "会见客户", "讨论议程", "50%完成", "500件", "it''s ok",
                          "a_b", "axb", "#5# * 号"})
        rows << insert("要事,联系人", "'" + QString::fromUtf8(t) + "','甲'");
    Book b(kMonday, rows);
    b.clickLine(0);
    b.type("gjz", "k");
    b.type("searchBox", text);
    b.press(button.toLatin1());
    QCOMPARE(b.lines(), found);
    QCOMPARE(b.cursor().recordCount(), found.size());
    QCOMPARE(b.get("lxr")->text(), QString());
    QCOMPARE(b.get("gjz")->text(), "k");
    QCOMPARE(b.w->rawAffairText(), button == "Image17" ? QString() : QString("会议室开会"));
    QVERIFY(b.app.exitCodes.isEmpty());
}

void TestReminderWindow::modifyAfterSearchActsOnShownRecord()
{
    Book b(kMonday,
           {insert("要事", "'苹果'"), insert("要事", "'香蕉'"), insert("要事", "'苹果派'")});
    b.type("searchBox", "香蕉");
    b.press("Image5");
    b.clickLine(0);
    b.type("lxr", "王");
    b.press("Command5");
    QCOMPARE(b.db("联系人"), (QStringList{"<null>", "王", "<null>"}));
    QCOMPARE(b.lines(), QStringList{reminders::listLineText(stored("联系人：王  ", "香蕉"))});
}

void TestReminderWindow::viewAllAffairsRebuildsList()
{
    Book b(kMonday, {insert("要事,要事关键字", "'A\r\n','k'"), insert("要事", "'B'")});
    b.type("searchBox", "B");
    b.press("Image5");
    b.clickLine(0);
    b.press("Image8");
    QCOMPARE(b.w->rawAffairText(), "A\r\n\nB\n");
    QCOMPARE(b.lines(), (QStringList{"A", "B"}));
    QCOMPARE(b.boxes().mid(0, 13), QStringList(13, QString()));
    QCOMPARE(b.cursor().recordCount(), 2);
    QCOMPARE(b.cursor().absolutePosition(), 1);
}

void TestReminderWindow::showKeywords()
{
    Book b(kMonday, {insert("要事,要事关键字", "'A','k1'"), insert("要事", "'B'"),
                     insert("要事,要事关键字", "'C','  '"), insert("要事,要事关键字", "'D','k2 '"),
                     insert("要事,要事关键字", "'E','k1'")});
    b.press("Image13");
    QCOMPARE(b.w->rawAffairText(), "  k1  k2 ");
    QCOMPARE(b.lines(), (QStringList{"A", "B", "C", "D", "E"}));
    QCOMPARE(b.cursor().sql(), "select * from mp");
    QCOMPARE(b.cursor().recordCount(), 5);
}

void TestReminderWindow::doubleClickKeepsKeyword()
{
    Book b(kMonday, {insert("要事,要事关键字,联系人", "'A','ka','甲'"),
                     insert("要事,要事关键字,联系人", "'B','kb','乙'")});
    b.type("gjz", "我的");
    b.doubleClickLine(1);
    QCOMPARE(b.get("gjz")->text(), "我的");
    QCOMPARE(b.get("lxr")->text(), "乙");
    QCOMPARE(b.w->rawAffairText(), "B");
    QCOMPARE(b.cursor().absolutePosition(), 1);

    b.clickLine(0);
    QCOMPARE(b.get("gjz")->text(), "ka");
    b.type("gjz", "改");
    b.doubleClickLine(0);
    QCOMPARE(b.get("gjz")->text(), "改");
    QCOMPARE(b.get("lxr")->text(), "甲");
}

namespace {

struct RecordedDrag {
    QStringList formats;
    QString text;
    QByteArray rtf;
    Qt::DropActions actions;
};

// Presses on the (selected) text and moves far enough to start a drag.
void dragFrom(QWidget* target, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, {});
    QApplication::sendEvent(target, &press);
    const QPoint to = at + QPoint(QApplication::startDragDistance() + 5, 0);
    QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, target->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(target, &release);
}

} // namespace

void TestReminderWindow::dragsOfferCopyOnly()
{
    Book b;
    QList<RecordedDrag> drags;
    reminders::setDragRunner([&](QDrag& drag, Qt::DropActions actions) {
        drags.append({drag.mimeData()->formats(), drag.mimeData()->text(),
                      drag.mimeData()->data(reminders::kRtfMimeType), actions});
        return Qt::CopyAction;
    });
    QLineEdit* lxr = b.get("lxr");
    lxr->setText("张三");
    lxr->selectAll();
    dragFrom(lxr, QPoint(8, lxr->height() / 2));
    auto* affair = b.get<QPlainTextEdit>("affairBox");
    b.w->setRawAffairText("开会\r\n带本");
    affair->selectAll();
    dragFrom(affair->viewport(), QPoint(4, 4));

    QCOMPARE(drags.size(), 2);
    QCOMPARE(drags[0].actions, Qt::DropActions(Qt::CopyAction));
    QCOMPARE(drags[0].text, "张三");
    QCOMPARE(drags[0].rtf, reminders::rtfFromText("张三").toLatin1());
    QCOMPARE(lxr->text(), "张三");
    QCOMPARE(drags[1].actions, Qt::DropActions(Qt::CopyAction));
    QCOMPARE(drags[1].formats, QStringList{"text/plain"});
    QCOMPARE(drags[1].text, "开会\r\n带本");
    QCOMPARE(b.w->rawAffairText(), "开会\r\n带本");
}

void TestReminderWindow::affairBoxDragEmptiesSearchAndKeyword()
{
    Book b;
    reminders::setDragRunner([](QDrag&, Qt::DropActions) { return Qt::CopyAction; });
    auto* affair = b.get<QPlainTextEdit>("affairBox");
    b.w->setRawAffairText("开会");
    b.type("searchBox", "查");
    b.type("gjz", "k");
    affair->selectAll();
    QTest::keyClick(affair, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(b.get("searchBox")->text(), "查");
    QCOMPARE(b.get("gjz")->text(), "k");
    dragFrom(affair->viewport(), QPoint(4, 4));
    QCOMPARE(b.get("searchBox")->text(), QString());
    QCOMPARE(b.get("gjz")->text(), QString());
}

void TestReminderWindow::dropInsertsAtDropPosition()
{
    Book b;
    auto drop = [](QWidget* target, QPoint at, const QString& text) {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
    };
    QLineEdit* lxdd = b.get("lxdd");
    lxdd->setText("北京路");
    lxdd->setCursorPosition(2);
    drop(lxdd, lxdd->inputMethodQuery(Qt::ImCursorRectangle).toRect().center(), "五号");
    QCOMPARE(lxdd->text(), "北京五号路");

    auto* affair = b.get<QPlainTextEdit>("affairBox");
    b.w->setRawAffairText("甲乙");
    QTextCursor c(affair->document());
    c.setPosition(1);
    drop(affair->viewport(), affair->cursorRect(c).center(), "丙");
    QCOMPARE(b.w->rawAffairText(), "甲丙乙");
}

void TestReminderWindow::tooltipsFollowText()
{
    Book b;
    for (const char* name : {"lxr", "lxdd", "jtzz", "sj"}) {
        QLineEdit* box = b.get(name);
        box->setText(QString::fromLatin1(name) + "一");
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), box->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(box, &enter);
        const QString first = box->toolTip();
        box->setText(QString::fromLatin1(name) + "二");
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), box->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(box, &move);
        const bool follows = qstrcmp(name, "sj") != 0;
        QCOMPARE(first, follows ? QString::fromLatin1(name) + "一" : QString());
        QCOMPARE(box->toolTip(), follows ? QString::fromLatin1(name) + "二" : QString());
    }
}

void TestReminderWindow::menuRunsButtonCommand()
{
    Book b(kMonday, {insert("要事", "'A'")});
    QStringList titles;
    for (QAction* a : b.w->menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, (QStringList{"系统(&S)", "Lumo(&W)"}));
    QStringList items;
    QMenu* lumo = b.w->menuBar()->actions().at(1)->menu();
    for (QAction* a : lumo->actions())
        items << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(items, (QStringList{"添加事务", "修改事务", "删除事务", "清空", "刷新事务", "全部删除",
                                 "-", "查询事务"}));
    QStringList queries;
    for (QAction* a : lumo->actions().last()->menu()->actions())
        queries << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(queries,
             (QStringList{"连续字符查询", "高级任意查询", "查询全部事务", "-", "察看搜索关键字"}));

    b.app.exec(insert("要事", "'B'"));
    lumo->actions().at(4)->trigger();
    QCOMPARE(b.lines(), (QStringList{"A", "B"}));
    b.type("searchBox", "B");
    lumo->actions().last()->menu()->actions().at(0)->trigger();
    QCOMPARE(b.lines(), QStringList{"B"});
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestAffairText t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestReminderWindow t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
