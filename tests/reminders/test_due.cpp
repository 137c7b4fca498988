#include "TestApp.h"
#include "reminders/DueList.h"
#include "reminders/DueLoad.h"
#include "store/Connection.h"
#include "store/Recordset.h"

#include <QtTest>

using namespace reminders;

namespace {

const QDate kSunday(2026, 12, 6);
const QDate kMay16(2027, 5, 16); // a Sunday as well

QDateTime at(const QDate& day, int hour = 0)
{
    return QDateTime(day, QTime(hour, 0));
}
QString entry(const QString& text)
{
    return text + QStringLiteral("\n\r\n\r");
}

} // namespace

class TestDue : public QObject {
    Q_OBJECT
private slots:
    void scheduleTests_data()
    {
        // kind: which test; a, b: its columns; day: today
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("due");
        const QVariant null;
        const QDate sat = kSunday.addDays(-1), mon = kSunday.addDays(1);
        const auto row = [](const char* name, const char* kind, const QVariant& a,
                            const QVariant& b, const QDate& day, bool due) {
            QTest::newRow(name) << QString(kind) << a << b << day << due;
        };
        const auto text = [](const char* s) { return QVariant(QString::fromUtf8(s)); };

        row("point today", "point", at(kSunday), null, kSunday, true);
        row("point today at 08:00", "point", at(kSunday, 8), null, kSunday, false);

        row("period of one day", "period", at(kSunday), at(kSunday), kSunday, true);
        row("period end null", "period", at(sat), null, kSunday, false);
        row("period starting at 08:00 today", "period", at(kSunday, 8), at(mon), kSunday, false);
        row("period ending at 08:00 today", "period", at(sat), at(kSunday, 8), kSunday, true);

        // How a number column reads: blanks anywhere but CR, one point, an E or D exponent.
        row("day with zero and blanks", "day", text(" 0 6 "), null, kSunday, true);
        row("day after carriage return", "day", text("\r6"), null, kSunday, false);
        row("day half", "day", text("6.5"), null, kSunday, false);
        row("day exponent D", "day", text(".6D1"), null, kSunday, true);
        row("day blanks and sign in exponent", "day", text("60 e - 1"), null, kSunday, true);
        row("day double sign stops", "day", text("6e+-1"), null, kSunday, true);
        row("day full-width digit", "day", text("６"), null, kSunday, false);
        row("month on another day", "month", text("12"), null, QDate(2026, 12, 31), true);

        row("weekday 0 on Sunday", "weekday", text("0"), null, kSunday, true);
        row("weekday 6 on Saturday", "weekday", text("6"), null, sat, true);
        row("weekday 100 never", "weekday", text("100"), null, kSunday, false);
        row("weekday huge never", "weekday", text("1e999"), null, kSunday, false);
        row("weekday tiny is Sunday", "weekday", text("1e-999"), null, kSunday, true);
        row("weekday null on Sunday", "weekday", null, null, kSunday, true);
        row("weekday empty on Monday", "weekday", text(""), null, mon, false);

        row("month-day with blanks and zero", "monthday", text(" 05 - 16"), null, kMay16, true);
        row("month-day second dash", "monthday", text("5-16-20"), null, kMay16, true);
        row("month-day no dash", "monthday", text("5"), null, QDate(2027, 5, 5), false);
        row("month 5.5 rounds to 6", "monthday", text("5.5-16"), null, QDate(2027, 6, 16), true);
        row("month 4.5 rounds to 4", "monthday", text("4.5-16"), null, QDate(2027, 4, 16), true);
        row("month beyond 16 bits", "monthday", text("65537-1"), null, QDate(2027, 1, 1), false);
    }

    void scheduleTests()
    {
        QFETCH(QString, kind);
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(QDate, day);
        QFETCH(bool, due);
        const QMap<QString, std::function<bool()>> tests{
            {"point", [&] { return dueOnTimePoint(a, day); }},
            {"period", [&] { return dueInPeriod(a, b, day); }},
            {"day", [&] { return dueOnDayOfMonth(a, day); }},
            {"month", [&] { return dueInMonth(a, day); }},
            {"weekday", [&] { return dueOnWeekday(a, day); }},
            {"monthday", [&] { return dueOnMonthDay(a, day); }}};
        QCOMPARE(tests.value(kind)(), due);
    }

    void dueListFollowsCursorAndTestOrder()
    {
        TestApp app;
        const QString cols =
            "insert into mp (要事, 时间点, 起始时间, 结束时间, 每月时间, 每周时间, "
            "每日时间, 每月每日时间) values ";
        const QString stored = "时间点：2026-12-06   ---标记\r\n开会\r\n" + QString(88, u'-');
        app.exec(cols + "('" + stored + "', '2026-12-06', null, null, '', '0', '', '')");
        app.exec(cols + "('不到期', '2026-12-06 08:00:00', null, null, '', '100', '', '')");
        app.exec(cols + "('全都到期', null, '2026-12-01', '2026-12-06', '12', '100', '6', '12-6')");
        app.exec(cols + "(null, null, null, null, '', '100', '6', '')");
        app.exec("insert into mp (要事) values ('只有要事')"); // null weekday: Sundays
        app.exec(cols + "('坏的月日', null, null, null, '', '100', '', '7-99999')");

        store::Connection connection;
        connection.open(app.databasePath());
        store::Recordset affairs("select*  from mp", connection);
        const DueOutcome outcome = runDueEvaluation(affairs, kSunday);
        QVERIFY(outcome.evaluated);
        const QString expected = entry(stored) + entry(stored) + entry("全都到期").repeated(4) +
                                 entry("") + entry("只有要事");
        QCOMPARE(outcome.list, expected);
        // The window's path over the cursor and the index path of rmd --due agree
        // on every day, with the index and without it (its own row order).
        const QDate days[] = {kSunday, QDate(2026, 12, 1), QDate(2026, 12, 7), QDate(2027, 1, 5),
                              QDate(2027, 7, 6)};
        for (bool indexed : {true, false}) {
            if (!indexed) app.exec("drop index mp_schedule");
            for (const QDate& day : days)
                QCOMPARE(evaluateDueList(connection, day), dueListOf(affairs, day));
        }
        QCOMPARE(runDueEvaluation(affairs, QDate(2027, 1, 5)).list, QString());
    }
};

QTEST_GUILESS_MAIN(TestDue)
#include "test_due.moc"
