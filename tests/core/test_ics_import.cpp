#include "TestBook.h"
#include "core/DueList.h"
#include "core/IcsExport.h"
#include "core/IcsImport.h"
#include "platform/Clock.h"
#include "store/Connection.h"
#include "store/StoreError.h"

#include <QSaveFile>
#include <QStringEncoder>
#include <QtTest>

using namespace core;
using Column = AffairRecord::Column;

namespace {

class DayClock : public platform::Clock {
public:
    QDate today() const override { return {2026, 12, 6}; }
    QDateTime now() const override { return QDateTime(today(), QTime(9, 30)); }
};

QByteArray calendarOf(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//test//ZH\r\n" + events +
           "END:VCALENDAR\r\n";
}

QByteArray vevent(const QByteArray& uid, const QByteArray& lines)
{
    QByteArray body = lines;
    body.replace("|", "\r\n");
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:买菜\r\n" + body + "\r\nEND:VEVENT\r\n";
}

ImportReport importInto(TestBook& book, const QByteArray& file)
{
    store::Connection connection;
    connection.open(book.path());
    return importCalendar(connection, file);
}

std::vector<AffairRecord> affairsOf(TestBook& book)
{
    store::Connection connection;
    connection.open(book.path(), store::Connection::Access::ReadOnly);
    return readAffairs(connection);
}

} // namespace

class TestIcsImport : public QObject {
    Q_OBJECT
private slots:
    // One event's lines (| between them) and the column it fills, or the reason it is skipped.
    void shapes_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, const char* lines, Column c, const char* value) {
            QTest::newRow(name) << QByteArray(lines) << int(c) << QString::fromUtf8(value);
        };
        const auto skip = [](const char* name, const char* lines, const char* reason) {
            QTest::newRow(name) << QByteArray(lines) << -1 << QString::fromUtf8(reason);
        };
        row("date", "DTSTART;VALUE=DATE:20270101", Column::TimePoint, "2027-01-01");
        row("date with its day's end", "DTSTART;VALUE=DATE:20270101|DTEND;VALUE=DATE:20270102",
            Column::TimePoint, "2027-01-01");
        row("several days", "DTSTART;VALUE=DATE:20270101|DTEND;VALUE=DATE:20270104", Column::End,
            "2027-01-03");
        row("several days by duration", "DTSTART;VALUE=DATE:20270101|DURATION:P3D", Column::End,
            "2027-01-03");
        row("timed", "DTSTART:20270101T143000", Column::TimePoint, "2027-01-01 14:30:00");
        row("day of month", "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=MONTHLY;BYMONTHDAY=15",
            Column::Day, "15");
        row("monthly from the start", "DTSTART;VALUE=DATE:20270109|RRULE:FREQ=MONTHLY", Column::Day,
            "9");
        row("month", "DTSTART;VALUE=DATE:20270301|RRULE:FREQ=DAILY;BYMONTH=3", Column::Month, "3");
        row("weekday", "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=WEEKLY;BYDAY=SA", Column::Weekday,
            "6");
        row("weekly from a Sunday start", "DTSTART;VALUE=DATE:20261206|RRULE:FREQ=WEEKLY",
            Column::Weekday, "0");
        row("month-day", "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=YEARLY;BYMONTH=5;BYMONTHDAY=16",
            Column::MonthDay, "5-16");
        row("birthday from the start", "DTSTART;VALUE=DATE:19800229|RRULE:FREQ=YEARLY",
            Column::MonthDay, "2-29");
        row("lunar leap month",
            "DTSTART;VALUE=DATE:20250725|RRULE:RSCALE=CHINESE;FREQ=YEARLY;BYMONTH=6L;BYMONTHDAY=1",
            Column::LunarYearly, "闰6-1");
        row("lunar monthly",
            "DTSTART;VALUE=DATE:20261223|RRULE:RSCALE=CHINESE;FREQ=MONTHLY;BYMONTHDAY=15",
            Column::LunarMonthly, "15");
        row("lunar yearly from the start",
            "DTSTART;VALUE=DATE:20270206|RRULE:RSCALE=CHINESE;FREQ=YEARLY", Column::LunarYearly,
            "1-1");
        skip("every second week", "DTSTART:20270101|RRULE:FREQ=WEEKLY;INTERVAL=2", "INTERVAL=2");
        skip("count beyond the cap", "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=DAILY;COUNT=401",
             "超过 400 次");
        skip("until beyond the cap", "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=DAILY;UNTIL=20280301",
             "超过 400 次");
        skip("until before the start",
             "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=DAILY;UNTIL=20261231", "一次也不发生");
        skip("lunar with a count",
             "DTSTART;VALUE=DATE:20270206|RRULE:RSCALE=CHINESE;FREQ=YEARLY;COUNT=3", "农历");
        skip("several weekdays every second week",
             "DTSTART:20270101|RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TU", "INTERVAL=2");
        skip("first Monday", "DTSTART:20270101|RRULE:FREQ=MONTHLY;BYDAY=1MO", "无法准确表示");
        skip("last day of month", "DTSTART:20270101|RRULE:FREQ=MONTHLY;BYMONTHDAY=-1", "负数");
        skip("every day", "DTSTART:20270101|RRULE:FREQ=DAILY", "每天重复");
        skip("other calendar", "DTSTART:20270101|RRULE:RSCALE=HEBREW;FREQ=YEARLY", "HEBREW");
        skip("exception dates", "DTSTART:20270101|RRULE:FREQ=MONTHLY|EXDATE:20270201", "EXDATE");
        skip("other time zone", "DTSTART;TZID=America/Lima:20270101T080000", "America/Lima");
        skip("malformed date", "DTSTART;VALUE=DATE:20271345", "DTSTART 不是有效的日期");
        skip("no start", "DESCRIPTION:x", "DTSTART");
        skip("unknown rule part", "DTSTART:20270101|RRULE:FREQ=WEEKLY;FOO=BAR", "格式错误");
        skip("30 February", "DTSTART;VALUE=DATE:20270230", "DTSTART 不是有效的日期");
        skip("hour 25", "DTSTART:20270101T250000", "DTSTART 的时刻无效");
        row("date with dashes, as libical reads it", "DTSTART:2027-01-01", Column::TimePoint,
            "2027-01-01");
        skip("malformed end", "DTSTART;VALUE=DATE:20270101|DTEND;VALUE=DATE:2027011", "格式错误");
        skip("rule without FREQ", "DTSTART;VALUE=DATE:20270101|RRULE:BYDAY=MO", "格式错误");
        skip("unknown frequency", "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=FORTNIGHTLY", "格式错误");
    }
    void shapes()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, column);
        QFETCH(QString, value);
        TestBook book;
        const ImportReport report = importInto(book, calendarOf(vevent("u1", lines)));
        QVERIFY2(report.refusal.isEmpty(), qPrintable(report.refusal));
        const std::vector<AffairRecord> affairs = affairsOf(book);
        if (column < 0) {
            QCOMPARE(affairs.size(), size_t(0));
            QCOMPARE(report.skipped.size(), 1);
            QVERIFY2(report.skipped[0].contains(value) && report.skipped[0].contains("买菜"),
                     qPrintable(report.skipped[0]));
            return;
        }
        QCOMPARE(affairs.size(), size_t(1));
        const AffairRecord& a = affairs[0];
        QCOMPARE(a.cells[column], value);
        // No weekday unless the rule names one: an empty one would be due every Sunday.
        if (column != Column::Weekday) QCOMPARE(a[Column::Weekday], QStringLiteral("100"));
        QVERIFY2(a[Column::Affair].endsWith(" ---标记\r\n买菜\r\n" + QString(88, u'-')),
                 qPrintable(a[Column::Affair]));
    }

    // Rules Lumo holds exactly as several affairs: the column of each, in order.
    void expansions_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* name, const char* lines, Column c,
                            const QStringList& values, const char* said) {
            QTest::newRow(name) << QByteArray(lines) << int(c) << values << QString(said);
        };
        row("Monday and Wednesday", "DTSTART;VALUE=DATE:20270104|RRULE:FREQ=WEEKLY;BYDAY=MO,WE",
            Column::Weekday, {"1", "3"}, "拆成 2 条每周提醒（星期一、星期三）");
        row("weekend", "DTSTART;VALUE=DATE:20270102|RRULE:FREQ=WEEKLY;BYDAY=SA,SU", Column::Weekday,
            {"6", "0"}, "星期六、星期日");
        // libical leaves out the months without a 31st, as the rule says.
        row("count", "DTSTART;VALUE=DATE:20270131|RRULE:FREQ=MONTHLY;COUNT=3", Column::TimePoint,
            {"2027-01-31", "2027-03-31", "2027-05-31"}, "重复 3 次，展开为 3 个日期");
        row("until, every second week",
            "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=WEEKLY;INTERVAL=2;UNTIL=20270129",
            Column::TimePoint, {"2027-01-01", "2027-01-15", "2027-01-29"}, "重复 3 次");
        row("timed, two weekdays, count",
            "DTSTART:20270104T083000|RRULE:FREQ=WEEKLY;BYDAY=MO,FR;COUNT=3", Column::TimePoint,
            {"2027-01-04 08:30:00", "2027-01-08 08:30:00", "2027-01-11 08:30:00"}, "重复 3 次");
        QStringList days;
        for (QDate d(2027, 1, 1); days.size() < 400; d = d.addDays(1))
            days << d.toString(Qt::ISODate);
        row("400 days, the most", "DTSTART;VALUE=DATE:20270101|RRULE:FREQ=DAILY;COUNT=400",
            Column::TimePoint, days, "重复 400 次");
    }
    void expansions()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, column);
        QFETCH(QStringList, values);
        QFETCH(QString, said);
        TestBook book;
        const QByteArray file = calendarOf(vevent("u1", lines) + vevent("u2", "DTSTART:20270101"));
        const ImportReport report = importInto(book, file);
        QCOMPARE(report.events, 2);
        QCOMPARE(report.imported, 2);
        QCOMPARE(report.affairs, values.size() + 1);
        QCOMPARE(report.expanded.size(), 1);
        QVERIFY2(report.expanded[0].startsWith("第 1 个事件“买菜”：") &&
                     report.expanded[0].contains(said),
                 qPrintable(report.expanded[0]));
        QVERIFY2(report.summary().contains("其中 1 个事件"), qPrintable(report.summary()));
        QStringList found;
        for (const AffairRecord& a : affairsOf(book))
            found << a.cells[column];
        QCOMPARE(found.mid(0, values.size()), values);
        const ImportReport again = importInto(book, file);
        QCOMPARE(again.affairs, 0);
        QCOMPARE(again.skipped.size(), 2);
    }

    // Files refused as a whole add nothing; odd text is cleaned, not refused.
    void wholeFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("text");
        const QByteArray one = vevent("u1", "DTSTART;VALUE=DATE:20270101|DESCRIPTION:甲\\n乙");
        const auto row = [](const char* name, const QByteArray& file, const char* refusal,
                            const char* text) {
            QTest::newRow(name) << file << QString(refusal) << QString(text);
        };
        const char* kept = "买菜\r\n甲\r\n乙";
        row("not a calendar", "姓名,电话\n张三,123\n", "不是 iCalendar", "");
        row("empty", QByteArray(), "不是 iCalendar", "");
        row("truncated", calendarOf(one).chopped(20), "不完整", "");
        row("no calendar inside", "BEGIN:VCALENDAR\r\nEND:VCALENDAR", "", "");
        QByteArray nul = calendarOf(one);
        nul.insert(nul.indexOf("乙"), QByteArray("\0\x07\x1b", 3));
        row("NUL and control characters", nul, "", kept);
        QStringEncoder gbk("GB18030");
        row("legacy encoding", gbk.encode(QString::fromUtf8(calendarOf(one))), "", kept);
        row("event without its end",
            calendarOf("BEGIN:VEVENT\r\nUID:u0\r\nSUMMARY:坏\r\nDTSTART;VALUE=DATE:20270101\r\n" +
                       one),
            "", kept);
        row("bare line feeds, names in small letters",
            calendarOf(one).replace("\r\n", "\n").replace("BEGIN:VEVENT", "begin:vevent"), "",
            kept);
        row("neither encoding", "BEGIN:VCALENDAR\r\n\xff\xff\xff\r\nEND:VCALENDAR\r\n", "编码", "");
    }
    void wholeFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, refusal);
        QFETCH(QString, text);
        TestBook book;
        const ImportReport report = importInto(book, file);
        QVERIFY2(refusal.isEmpty() ? report.refusal.isEmpty() : report.refusal.contains(refusal),
                 qPrintable(report.refusal));
        const std::vector<AffairRecord> affairs = affairsOf(book);
        QCOMPARE(affairs.size(), size_t(text.isEmpty() ? 0 : 1));
        if (!text.isEmpty())
            QVERIFY2(affairs[0][Column::Affair].contains(" ---标记\r\n" + text + "\r\n"),
                     qPrintable(affairs[0][Column::Affair]));
    }

    // A file that cannot be read or written is named with a reason the user can act on.
    void fileProblems_data()
    {
        QTest::addColumn<bool>("writing");
        QTest::addColumn<QString>("name"); // inside a fresh folder
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, bool writing, const char* file, const char* reason) {
            QTest::newRow(name) << writing << QString(file) << QString(reason);
        };
        row("read: no such file", false, "无此文件.ics",
            "无法打开文件 %1/无此文件.ics：文件不存在");
        row("read: a folder", false, "子文件夹",
            "无法打开文件 %1/子文件夹：这是一个文件夹，不是文件");
        row("write: no such folder", true, "无此文件夹/a.ics",
            "无法写入文件 %1/无此文件夹/a.ics：文件夹 %1/无此文件夹 不存在");
        row("write: onto a folder", true, "子文件夹",
            "无法写入文件 %1/子文件夹：这是一个文件夹，不是文件");
    }
    void fileProblems()
    {
        QFETCH(bool, writing);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("子文件夹"));
        const QString path = folder.filePath(name);
        QString said;
        if (writing) {
            QSaveFile file(path);
            QVERIFY(!file.open(QIODevice::WriteOnly));
            said = cannotWriteText(path, file);
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            said = cannotOpenText(path, file);
        }
        QCOMPARE(said, reason.arg(folder.path()));
    }

    void secondImportAddsNothing()
    {
        TestBook book;
        const QByteArray file = calendarOf(vevent("u1", "DTSTART;VALUE=DATE:20270101") +
                                           vevent("u2", "DTSTART;VALUE=DATE:20270102"));
        QCOMPARE(importInto(book, file).affairs, 2);
        book.exec("delete from mp where 时间点 = '2027-01-01'");
        const ImportReport again = importInto(book, file);
        QCOMPARE(again.affairs, 0);
        QCOMPARE(again.skipped.size(), 2);
        QCOMPARE(affairsOf(book).size(), size_t(1)); // the deleted one stays deleted
    }

    // A store failure half-way leaves the book as it was.
    void failureAddsNothing()
    {
        TestBook book;
        book.exec("create trigger full before insert on mp when (select count(*) from mp) >= 1 "
                  "begin select raise(abort, '磁盘已满'); end");
        const QByteArray file = calendarOf(vevent("u1", "DTSTART;VALUE=DATE:20270101") +
                                           vevent("u2", "DTSTART;VALUE=DATE:20270102"));
        {
            store::Connection connection;
            connection.open(book.path());
            QVERIFY_THROWS_EXCEPTION(store::StoreError, importCalendar(connection, file));
            // The connection is left without an open transaction, ready for the next change.
            connection.execute("begin");
            connection.execute("commit");
        }
        QCOMPARE(affairsOf(book).size(), size_t(0));
        book.exec("drop trigger full");
        QCOMPARE(importInto(book, file).affairs, 2); // no UID was kept from the failed run
    }

    // A book holding every kind, exported and imported into an empty book, is due on the
    // same days; its own export re-imports exactly and adds nothing to the book it came from.
    void roundTrip()
    {
        TestBook source;
        source.exec(
            "insert into mp (要事, 要事关键字, 时间点, 起始时间, 结束时间, 联系人, 每月时间, "
            "每周时间, "
            "每日时间, 每月每日时间, 农历每年时间, 农历每月时间) values "
            "('点', '', '2027-01-01', null, null, '', '', '100', '', '', '', ''),"
            "('时刻', '', '2027-01-01 08:00:00', null, null, '', '', '100', '', '', '', ''),"
            "('段', '', null, '2027-01-30', '2027-02-02 10:00:00', '', '', '100', '', '', '', ''),"
            "('月', '', null, null, null, '', '2', '100', '', '', '', ''),"
            "('周', '', null, null, null, '', '', '6', '', '', '', ''),"
            "('空周', '', null, null, null, '', '', '', '', '', '', ''),"
            "('日', '', null, null, null, '', '', '100', '31', '', '', ''),"
            "('月日', '', null, null, null, '', '', '100', '', '2-29', '', ''),"
            "('农历年', '', null, null, null, '', '', '100', '', '', '闰6-1', ''),"
            "('农历月', '', null, null, null, '', '', '100', '', '', '', '30'),"
            "('几种', '家', null, null, null, '王五', '3', '1', '15', '', '8-15', ''),"
            "('几种', '家', null, null, null, '王五', '3', '1', '15', '', '8-15', '')");
        store::Connection from;
        from.open(source.path(), store::Connection::Access::ReadOnly);
        const IcsExport exported = exportCalendar(readAffairs(from), DayClock());
        TestBook target;
        const ImportReport report = importInto(target, exported.calendar);
        QCOMPARE(report.skipped, QStringList());
        QCOMPARE(report.affairs, 12);
        store::Connection to;
        to.open(target.path(), store::Connection::Access::ReadOnly);
        const QDate days[] = {
            {2026, 12, 6},  {2026, 12, 12}, {2026, 12, 31}, {2027, 1, 1},  {2027, 1, 2},
            {2027, 1, 29},  {2027, 1, 30},  {2027, 2, 2},   {2027, 2, 3},  {2027, 2, 28},
            {2027, 3, 1},   {2027, 3, 15},  {2027, 3, 31},  {2027, 4, 1},  {2027, 1, 5},
            {2027, 3, 8},   {2027, 9, 15},  {2028, 2, 29},  {2027, 2, 5},  {2027, 7, 4},
            {2025, 7, 25},  {2026, 12, 8},  {2027, 1, 7},   {2027, 1, 6},  {2027, 10, 25},
            {2027, 11, 26}, {2027, 12, 27}, {2028, 3, 31},  {2029, 2, 28}, {2027, 2, 6}};
        for (const QDate& day : days)
            QCOMPARE(day.toString(Qt::ISODate) + ": " + evaluateDueList(to, day),
                     day.toString(Qt::ISODate) + ": " + evaluateDueList(from, day));
        const std::vector<AffairRecord> before = readAffairs(from), after = readAffairs(to);
        for (size_t i = 0; i < before.size(); ++i)
            QCOMPARE(after[i].cells, before[i].cells);
        // Into the book it came from: nothing new.
        const ImportReport home = importInto(source, exported.calendar);
        QCOMPARE(home.affairs, 0);
        QCOMPARE(home.skipped.size(), exported.events);
    }

    // A book made before the lunar columns and the UID table still takes an import.
    void olderBook()
    {
        TestBook book;
        book.exec("drop index mp_schedule; alter table mp drop column 农历每年时间; "
                  "alter table mp drop column 农历每月时间");
        const QByteArray file = calendarOf(
            vevent("u1", "DTSTART;VALUE=DATE:20270206|RRULE:RSCALE=CHINESE;FREQ=YEARLY"));
        QCOMPARE(importInto(book, file).affairs, 1);
        QCOMPARE(book.column("select 农历每年时间 from mp"), QStringList{"1-1"});
    }
};

QTEST_GUILESS_MAIN(TestIcsImport)
#include "test_ics_import.moc"
