#include "TestApp.h"
#include "reminders/DueList.h"
#include "reminders/DueLoad.h"
#include "store/Connection.h"
#include "store/Recordset.h"

#include <QtTest>
#include <limits>

using namespace reminders;

namespace {

const QDate kSunday(2026, 12, 6);
const QDate kMay16(2027, 5, 16); // a Sunday as well

QDateTime at(const QDate& day, int hour = 0, int minute = 0)
{
    return QDateTime(day, QTime(hour, minute));
}

QString entry(const QString& text) { return text + QStringLiteral("\n\r\n\r"); }

} // namespace

class TestDue : public QObject {
    Q_OBJECT

private slots:
    void leadingNumberReadsLikeTheBook_data();
    void leadingNumberReadsLikeTheBook();
    void scheduleTests_data();
    void scheduleTests();
    void weekdays_data();
    void weekdays();
    void dueListFollowsCursorAndTestOrder();
    void emptyBookIsNotEvaluated();
    void storingOutcomeWritesListAndDropsEmptyAffairs_data();
    void storingOutcomeWritesListAndDropsEmptyAffairs();
};

void TestDue::leadingNumberReadsLikeTheBook_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<double>("expected");
    const auto row = [](const char* name, const QVariant& value, double expected) {
        QTest::newRow(name) << value << expected;
    };
    row("null", QVariant(), 0);
    row("empty", QString(""), 0);
    row("plain", QString("5"), 5);
    row("leading zero", QString("05"), 5);
    row("leading blank", QString(" 5"), 5);
    row("trailing blank", QString("5 "), 5);
    row("blank between digits", QString("1 2"), 12);
    row("tab", QString("\t7"), 7);
    row("line feed", QString("\n3"), 3);
    row("carriage return stops", QString("\r3"), 0);
    row("whole decimal", QString("5.0"), 5);
    row("half", QString("5.5"), 5.5);
    row("leading point", QString(".5"), 0.5);
    row("second point stops", QString("1.2.3"), 1.2);
    row("exponent e", QString("1e1"), 10);
    row("exponent D", QString("1D1"), 10);
    row("negative exponent", QString("1d-1"), 0.1);
    row("blanks in exponent", QString("1 e + 2"), 100);
    row("bare exponent mark", QString("7e"), 7);
    row("exponent sign only", QString("7e-"), 7);
    row("double sign stops", QString("7e+-1"), 7);
    row("minus", QString("-3"), 0);
    row("plus", QString("+3"), 0);
    row("letters", QString("abc"), 0);
    row("digits then letters", QString("5abc"), 5);
    row("stops at dash", QString("12-6"), 12);
    row("full-width digit", QString("５"), 0);
    row("huge", QString("1e999"), std::numeric_limits<double>::infinity());
    row("tiny", QString("1e-999"), 0);
}

void TestDue::leadingNumberReadsLikeTheBook()
{
    QFETCH(QVariant, value);
    QFETCH(double, expected);
    QCOMPARE(leadingNumber(value), expected);
}

void TestDue::scheduleTests_data()
{
    // kind: which test; a, b: its columns; day: today
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariant>("a");
    QTest::addColumn<QVariant>("b");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("due");
    const QVariant null;
    const QDate yesterday = kSunday.addDays(-1);
    const auto row = [](const char* name, const char* kind, const QVariant& a, const QVariant& b,
                        const QDate& day, bool due) {
        QTest::newRow(name) << QString(kind) << a << b << day << due;
    };
    const auto text = [](const char* s) { return QVariant(QString::fromUtf8(s)); };

    row("point today", "point", at(kSunday), null, kSunday, true);
    row("point today at 08:00", "point", at(kSunday, 8), null, kSunday, false);
    row("point yesterday", "point", at(yesterday), null, kSunday, false);
    row("point null", "point", null, null, kSunday, false);
    row("point as date", "point", QVariant(kSunday), null, kSunday, true);
    row("point as stored text", "point", text("2026-12-06"), null, kSunday, true);

    row("period yesterday to today", "period", at(yesterday), at(kSunday), kSunday, true);
    row("period of one day", "period", at(kSunday), at(kSunday), kSunday, true);
    row("period ending yesterday", "period", at(yesterday.addDays(-3)), at(yesterday), kSunday,
        false);
    row("period starting tomorrow", "period", at(kSunday.addDays(1)), at(kSunday.addDays(9)),
        kSunday, false);
    row("period start null", "period", null, at(kSunday), kSunday, false);
    row("period end null", "period", at(yesterday), null, kSunday, false);
    row("period starting at 08:00 today", "period", at(kSunday, 8), at(kSunday.addDays(1)),
        kSunday, false);
    row("period ending at 08:00 today", "period", at(yesterday), at(kSunday, 8), kSunday, true);

    row("day matches", "day", text("6"), null, kSunday, true);
    row("day with zero and blank", "day", text(" 06"), null, kSunday, true);
    row("day as decimal", "day", text("6.0"), null, kSunday, true);
    row("day half", "day", text("6.5"), null, kSunday, false);
    row("day other", "day", text("5"), null, kSunday, false);
    row("day negative", "day", text("-6"), null, kSunday, false);
    row("day empty", "day", text(""), null, kSunday, false);
    row("day null", "day", null, null, kSunday, false);

    row("month matches", "month", text("12"), null, kSunday, true);
    row("month on another day", "month", text("12"), null, QDate(2026, 12, 31), true);
    row("month other", "month", text("5"), null, kSunday, false);
    row("month empty", "month", text(""), null, kSunday, false);

    row("weekday 0 on Sunday", "weekday", text("0"), null, kSunday, true);
    row("weekday 0 on Monday", "weekday", text("0"), null, kSunday.addDays(1), false);
    row("weekday 1 on Monday", "weekday", text("1"), null, kSunday.addDays(1), true);
    row("weekday 6 on Saturday", "weekday", text("6"), null, yesterday, true);
    row("weekday 100 never", "weekday", text("100"), null, kSunday, false);
    row("weekday empty on Sunday", "weekday", text(""), null, kSunday, true);
    row("weekday null on Sunday", "weekday", null, null, kSunday, true);
    row("weekday empty on Monday", "weekday", text(""), null, kSunday.addDays(1), false);

    row("month-day", "monthday", text("5-16"), null, kMay16, true);
    row("month-day zero padded", "monthday", text("05-16"), null, kMay16, true);
    row("month-day leading blank", "monthday", text(" 5-16"), null, kMay16, true);
    row("month-day blanks round dash", "monthday", text("5 - 16"), null, kMay16, true);
    row("month-day other day", "monthday", text("5-16"), null, kMay16.addDays(1), false);
    row("month-day second dash", "monthday", text("5-16-20"), null, kMay16, true);
    row("month-day no day", "monthday", text("12-"), null, QDate(2026, 12, 1), false);
    row("month-day no month", "monthday", text("-5"), null, QDate(2027, 1, 5), false);
    row("month-day no dash", "monthday", text("5"), null, QDate(2027, 5, 5), false);
    row("month-day empty", "monthday", text(""), null, kMay16, false);
    row("month-day null", "monthday", null, null, kMay16, false);
    row("month 5.5 rounds to 6", "monthday", text("5.5-16"), null, QDate(2027, 6, 16), true);
    row("month 5.5 is not 5", "monthday", text("5.5-16"), null, kMay16, false);
    row("month 4.5 rounds to 4", "monthday", text("4.5-16"), null, QDate(2027, 4, 16), true);
    row("day 15.5 rounds to 16", "monthday", text("5-15.5"), null, kMay16, true);
    row("day 16.5 rounds to 16", "monthday", text("5-16.5"), null, kMay16, true);
    row("month out of range", "monthday", text("99999-1"), null, QDate(2027, 1, 1), false);
    row("day out of range", "monthday", text("5-99999"), null, kMay16, false);
    row("month huge", "monthday", text("1e999-16"), null, kMay16, false);
}

void TestDue::scheduleTests()
{
    QFETCH(QString, kind);
    QFETCH(QVariant, a);
    QFETCH(QVariant, b);
    QFETCH(QDate, day);
    QFETCH(bool, due);
    bool actual = false;
    if (kind == "point")
        actual = dueOnTimePoint(a, day);
    else if (kind == "period")
        actual = dueInPeriod(a, b, day);
    else if (kind == "day")
        actual = dueOnDayOfMonth(a, day);
    else if (kind == "month")
        actual = dueInMonth(a, day);
    else if (kind == "weekday")
        actual = dueOnWeekday(a, day);
    else if (kind == "monthday")
        actual = dueOnMonthDay(a, day);
    else
        QFAIL("unknown kind");
    QCOMPARE(actual, due);
}

void TestDue::weekdays_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("Sunday") << kSunday << 0 << QString("今天是:星期日");
    QTest::newRow("Monday") << kSunday.addDays(1) << 1 << QString("今天是:星期一");
    QTest::newRow("Wednesday") << kSunday.addDays(3) << 3 << QString("今天是:星期三");
    QTest::newRow("Saturday") << kSunday.addDays(-1) << 6 << QString("今天是:星期六");
}

void TestDue::weekdays()
{
    QFETCH(QDate, day);
    QFETCH(int, number);
    QFETCH(QString, text);
    QCOMPARE(weekdayNumber(day), number);
    QCOMPARE(weekdayText(day), text);
}

void TestDue::dueListFollowsCursorAndTestOrder()
{
    TestApp app;
    const QString cols = "(要事, 时间点, 起始时间, 结束时间, 每月时间, 每周时间, 每日时间, 每月每日时间)";
    const QString stored = "时间点：2026-12-06   ---标记\r\n开会\r\n" + QString(88, u'-');
    app.exec("insert into mp " + cols + " values ('" + stored +
             "', '2026-12-06', null, null, '', '0', '', '')");
    app.exec("insert into mp " + cols +
             " values ('不到期', '2026-12-06 08:00:00', null, null, '', '100', '', '')");
    app.exec("insert into mp " + cols + " values ('全都到期', null, '2026-12-01', '2026-12-06', "
                                        "'12', '100', '6', '12-6')");
    app.exec("insert into mp " + cols + " values (null, null, null, null, '', '100', '6', '')");
    app.exec("insert into mp (要事) values ('只有要事')"); // null weekday: Sundays
    app.exec("insert into mp " + cols +
             " values ('坏的月日', null, null, null, '', '100', '', '7-99999')");

    store::Connection connection;
    connection.open(app.databasePath());
    store::Recordset affairs("select*  from mp", connection);
    const DueOutcome outcome = runDueEvaluation(affairs, kSunday);
    QVERIFY(outcome.evaluated);
    const QString expected = entry(stored) + entry(stored) + entry("全都到期").repeated(4) +
                             entry("") + entry("只有要事");
    QCOMPARE(outcome.list, expected);
    // The schedule index returns rows in its own order; the list must not follow it.
    app.exec("drop index mp_schedule");
    QCOMPARE(runDueEvaluation(affairs, kSunday).list, expected);

    QCOMPARE(runDueEvaluation(affairs, QDate(2027, 1, 5)).list, QString());
}

void TestDue::emptyBookIsNotEvaluated()
{
    TestApp app;
    app.exec("update ma set zdtxsw = '上次的提醒'");
    store::Connection connection;
    connection.open(app.databasePath());
    store::Recordset settings("select*  from ma", connection);
    store::Recordset affairs("select*  from mp", connection);
    const DueOutcome outcome = runDueEvaluation(affairs, kSunday);
    QVERIFY(!outcome.evaluated);
    QVERIFY(outcome.list.isEmpty());
    storeDueOutcome(outcome, settings, affairs);
    QCOMPARE(app.scalar("select zdtxsw from ma"), QString("上次的提醒"));
}

void TestDue::storingOutcomeWritesListAndDropsEmptyAffairs_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("stored");
    QTest::newRow("due") << kSunday << entry("") + entry("周日") + entry("周日");
    QTest::newRow("nothing due") << kSunday.addDays(2) << QString("目前没有重要事务提醒");
}

void TestDue::storingOutcomeWritesListAndDropsEmptyAffairs()
{
    QFETCH(QDate, day);
    QFETCH(QString, stored);
    TestApp app;
    app.exec("insert into mp (要事, 每周时间) values ('', '0')");
    app.exec("insert into mp (要事, 每周时间) values ('周日', '0')");
    app.exec("insert into mp (要事, 每周时间) values (null, '100')");
    app.exec("insert into mp (要事, 每周时间) values ('周日', '')");
    app.exec("insert into mp (要事, 每周时间) values ('', '100')");

    store::Connection connection;
    connection.open(app.databasePath());
    store::Recordset settings("select*  from ma", connection);
    store::Recordset affairs("select*  from mp", connection);
    const DueOutcome outcome = runDueEvaluation(affairs, day);
    storeDueOutcome(outcome, settings, affairs);

    QCOMPARE(app.scalar("select zdtxsw from ma"), stored);
    QCOMPARE(app.column("select 要事 from mp"), QStringList({"周日", "周日"}));
    QCOMPARE(app.scalar("select mm from ma"), QString("6158"));
}

QTEST_GUILESS_MAIN(TestDue)
#include "test_due.moc"
