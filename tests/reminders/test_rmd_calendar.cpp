// The calendar file items of the reminder window's 扩展 menu.
#include "RmdDriver.h"
#include "shell/AppContext.h"
#include "store/Connection.h"
#include "store/StoreError.h"

namespace {

const auto affair = [](const QString& text, const QString& day) {
    return QString("insert into mp(要事, 时间点, 每周时间) values('%1', %2, '100')")
        .arg(text, day.isEmpty() ? QString("null") : "'" + day + "'");
};

QByteArray vevent(int n, const QByteArray& lines)
{
    return "BEGIN:VEVENT\r\nUID:e" + QByteArray::number(n) + "\r\nSUMMARY:事件" +
           QByteArray::number(n) + "\r\n" + lines + "\r\nEND:VEVENT\r\n";
}
QByteArray calendarOf(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//ZH\r\n" + events +
           "END:VCALENDAR\r\n";
}

struct Calendar : Rmd {
    using Rmd::Rmd;
    void trigger(const char* action) { w->findChild<QAction*>(action)->trigger(); }
    QString write(const QByteArray& bytes)
    {
        QFile f(file("in.ics"));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    QStringList menu() const
    {
        QStringList names;
        for (QAction* a : w->findChild<QMenu*>("menuExtensions")->actions())
            names << a->objectName();
        return names;
    }
};

} // namespace

class TestRmdCalendar : public QObject {
    Q_OBJECT
private slots:
    void itemsComeAfterTheMenusOwn()
    {
        Calendar a;
        QCOMPARE(a.menu(), QStringList({"actionNotifyAtLogin", "actionExportCalendar",
                                        "actionImportCalendar"}));
    }

    // What the list shows is what goes into the file.
    void exportListed_data()
    {
        QTest::addColumn<QString>("search"); // empty: 刷新
        QTest::addColumn<QString>("target"); // "ok", "cancel", "unwritable"
        QTest::addColumn<QStringList>("summaries");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* name, const char* search, const char* target,
                            const QStringList& summaries, const char* said) {
            QTest::newRow(name) << search << target << summaries << said;
        };
        row("all after refresh", "", "ok", {"买菜", "开会"}, "已把 2 条事务导出为 2 个日历事件");
        row("search result", "买", "ok", {"买菜"}, "已把 1 条事务导出为 1 个日历事件");
        row("cancelled", "", "cancel", {}, "");
        row("unwritable", "", "unwritable", {}, "无法写入文件 ");
        row("nothing listed", "无此字", "ok", {}, "列表中没有事务，没有可以导出的内容。");
    }
    void exportListed()
    {
        QFETCH(QString, search);
        QFETCH(QString, target);
        QFETCH(QStringList, summaries);
        QFETCH(QString, said);
        Calendar a(
            {affair("买菜", "2026-12-20"), affair("开会", "2026-12-21"), affair("没有日子", "")});
        if (search.isEmpty()) {
            a.press("Command8");
        } else {
            a.get("searchBox")->setText(search);
            a.press("Image5");
        }
        const QString path = target == "unwritable" ? a.file("无此文件夹/x.ics") : a.file("x.ics");
        if (target != "cancel") a.app.dialogs.files.enqueue(path);
        a.app.dialogs.messages.clear();
        a.trigger("actionExportCalendar");
        QCOMPARE(a.app.dialogs.saveQuestions.size(), said.startsWith("列表") ? 0 : 1);
        QCOMPARE(a.app.dialogs.messages.size(), said.isEmpty() ? 0 : 1);
        if (!said.isEmpty())
            QVERIFY2(a.said().last().startsWith("日历文件: " + said), qPrintable(a.said().last()));
        QFile f(path);
        QCOMPARE(f.open(QIODevice::ReadOnly), !summaries.isEmpty());
        const QString text = QString::fromUtf8(f.readAll());
        QStringList found;
        for (const QString& line : text.split("\r\n"))
            if (line.startsWith("SUMMARY:")) found << line.mid(8);
        QCOMPARE(found, summaries);
    }

    void importFile_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: the file is not there
        QTest::addColumn<QString>("how");     // "", "cancel", "full"
        QTest::addColumn<int>("added");
        QTest::addColumn<QStringList>("said"); // pieces of the one message, in order
        const QByteArray good = vevent(1, "DTSTART;VALUE=DATE:20261220") +
                                vevent(2, "DTSTART;VALUE=DATE:20261221\r\nRRULE:FREQ=WEEKLY");
        const QByteArray skipped = vevent(3, "DTSTART;VALUE=DATE:20261220\r\n"
                                             "RRULE:FREQ=WEEKLY;INTERVAL=2");
        QTest::newRow("imported, list refreshed")
            << calendarOf(good + skipped) << "" << 2
            << QStringList{"文件中有 3 个事件：导入 2 个，新增 2 条事务；跳过 1 个。",
                           "第 3 个事件“事件3”：跳过，重复间隔 INTERVAL=2", "完整的报告在"};
        QByteArray many;
        for (int n = 1; n <= 25; ++n)
            many += vevent(n, "RRULE:FREQ=DAILY");
        QTest::newRow("first 20 reasons")
            << calendarOf(many) << "" << 0
            << QStringList{"跳过 25 个", "第 20 个事件", "……另有 5 个跳过的事件。"};
        QTest::newRow("not iCalendar")
            << QByteArray("姓名,电话\n张三,123\n") << "" << 0 << QStringList{"不是 iCalendar"};
        QTest::newRow("truncated")
            << calendarOf(good).chopped(30) << "" << 0 << QStringList{"不完整"};
        QTest::newRow("file missing")
            << QByteArray() << "" << 0 << QStringList{"无法打开文件", "文件不存在"};
        QTest::newRow("cancelled") << calendarOf(good) << "cancel" << 0 << QStringList();
        QTest::newRow("disk full")
            << calendarOf(good) << "full" << 0 << QStringList{shell::kNothingChangedText.trimmed()};
    }
    void importFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, how);
        QFETCH(int, added);
        QFETCH(QStringList, said);
        Calendar a({affair("原有", "2026-12-20")});
        const QStringList before = a.lines();
        const QString path = file.isEmpty() ? a.file("无此文件.ics") : a.write(file);
        if (how != "cancel") a.app.dialogs.files.enqueue(path);
        store::Connection& c = a.app.context().dbConnection();
        if (how == "full")
            c.execute("pragma max_page_count = " + a.app.scalar("pragma page_count"));
        a.trigger("actionImportCalendar");
        c.execute("pragma max_page_count = 1000000");
        QCOMPARE(a.app.dialogs.fileQuestions.size(), 1);
        QCOMPARE(a.app.dialogs.messages.size(), said.isEmpty() ? 0 : 1);
        qsizetype at = 0;
        for (const QString& piece : said) {
            at = a.app.dialogs.texts().join("").indexOf(piece, at);
            QVERIFY2(at >= 0, qPrintable(piece + " not in " + a.said().join("")));
        }
        QCOMPARE(a.app.scalar("select count(*) from mp").toInt(), 1 + added);
        QCOMPARE(a.lines().size(), before.size() + added);
        QVERIFY(a.app.exitCodes.isEmpty());
    }

    // The window's import is one command: a second import of the same file adds nothing.
    void secondImportAddsNothing()
    {
        Calendar a;
        const QString path = a.write(calendarOf(vevent(1, "DTSTART;VALUE=DATE:20261220")));
        a.app.dialogs.files << path << path;
        a.trigger("actionImportCalendar");
        a.trigger("actionImportCalendar");
        QCOMPARE(a.app.scalar("select count(*) from mp"), QString("1"));
        QVERIFY2(a.app.dialogs.texts().last().contains("已经导入过"),
                 qPrintable(a.app.dialogs.texts().last()));
    }
};

QTEST_MAIN(TestRmdCalendar)
#include "test_rmd_calendar.moc"
