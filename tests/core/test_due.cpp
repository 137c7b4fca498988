#include "TestBook.h"
#include "core/DueList.h"
#include "core/DueLoad.h"
#include "store/BookColumns.h"
#include "store/Connection.h"
#include "store/Recordset.h"

#include <QtTest>

using namespace core;

namespace {

const QDate kSunday(2026, 12, 6);
const QDate kMay16(2027, 5, 16); // a Sunday as well

const auto at = [](const QDate& day, int hour = 0) { return QDateTime(day, QTime(hour, 0)); };
const auto entry = [](const QString& text) { return text + "\n\r\n\r"; };

} // namespace

class TestDue : public QObject {
    Q_OBJECT
private slots:
    // Each schedule test on a given day; a and b are its columns. The plain
    // cases are left to the due list below.
    void scheduleTests_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("due");
        const QVariant null;
        const QDate sat = kSunday.addDays(-1), mon = kSunday.addDays(1);
        const auto t = [](const char* text) { return QVariant(QString(text)); };
        const auto row = [](const char* name, const char* kind, const QVariant& a,
                            const QVariant& b, const QDate& day, bool due) {
            QTest::newRow(name) << QString(kind) << a << b << day << due;
        };
        row("period of one day", "period", at(kSunday), at(kSunday), kSunday, true);
        row("period end null", "period", at(sat), null, kSunday, false);
        row("period starting at 08:00 today", "period", at(kSunday, 8), at(mon), kSunday, true);
        row("period ending at 08:00 today", "period", at(sat), at(kSunday, 8), kSunday, true);
        row("day with zero and blanks", "day", t(" 0 6 "), null, kSunday, true);
        row("day after carriage return", "day", t("\r6"), null, kSunday, false);
        row("day half", "day", t("6.5"), null, kSunday, false);
        row("day exponent D", "day", t(".6D1"), null, kSunday, true);
        row("day blanks and sign in exponent", "day", t("60 e - 1"), null, kSunday, true);
        row("day double sign stops", "day", t("6e+-1"), null, kSunday, true);
        row("day full-width digit", "day", t("６"), null, kSunday, false);
        row("weekday 6 on Saturday", "weekday", t("6"), null, sat, true);
        row("weekday huge never", "weekday", t("1e999"), null, kSunday, false);
        row("weekday tiny is Sunday", "weekday", t("1e-999"), null, kSunday, true);
        row("weekday empty on Monday", "weekday", t(""), null, mon, false);
        row("month-day with blanks and zero", "monthday", t(" 05 - 16"), null, kMay16, true);
        row("month-day second dash", "monthday", t("5-16-20"), null, kMay16, true);
        row("month-day no dash", "monthday", t("5"), null, QDate(2027, 5, 5), false);
        row("month 5.5 rounds to 6", "monthday", t("5.5-16"), null, QDate(2027, 6, 16), true);
        row("month 4.5 rounds to 4", "monthday", t("4.5-16"), null, QDate(2027, 4, 16), true);
        row("month beyond 16 bits", "monthday", t("65537-1"), null, QDate(2027, 1, 1), false);
    }

    void scheduleTests()
    {
        QFETCH(QString, kind);
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(QDate, day);
        const QMap<QString, std::function<bool()>> tests{
            {"period", [&] { return dueInPeriod(a, b, day); }},
            {"day", [&] { return dueOnDayOfMonth(a, day); }},
            {"weekday", [&] { return dueOnWeekday(a, day); }},
            {"monthday", [&] { return dueOnMonthDay(a, day); }}};
        QTEST(tests.value(kind)(), "due");
    }

    // Only the date part of a time point or a period's ends counts.
    void timeOfDay_data()
    {
        QTest::addColumn<QVariant>("from");
        QTest::addColumn<QVariant>("until"); // null: a time point
        QTest::addColumn<bool>("due");
        const QDate sat = kSunday.addDays(-1), mon = kSunday.addDays(1);
        const QVariant none;
        const auto text = [](const char* stored) { return QVariant(QString(stored)); };
        QTest::newRow("point 08:00 today") << QVariant(at(kSunday, 8)) << none << true;
        QTest::newRow("point stored 23:59:59 today") << text("2026-12-06 23:59:59") << none << true;
        QTest::newRow("point 08:00 yesterday") << QVariant(at(sat, 8)) << none << false;
        QTest::newRow("point 00:00 tomorrow") << QVariant(at(mon)) << none << false;
        QTest::newRow("period ends 00:30 today")
            << QVariant(at(sat)) << text("2026-12-06 00:30:00") << true;
        QTest::newRow("period starts 23:00 today")
            << text("2026-12-06 23:00:00") << QVariant(at(mon, 1)) << true;
        QTest::newRow("period ended 23:00 yesterday")
            << QVariant(at(sat.addDays(-1))) << QVariant(at(sat, 23)) << false;
        QTest::newRow("period starts 01:00 tomorrow")
            << QVariant(at(mon, 1)) << QVariant(at(mon.addDays(3))) << false;
    }
    void timeOfDay()
    {
        QFETCH(QVariant, from);
        QFETCH(QVariant, until);
        QFETCH(bool, due);
        QCOMPARE(until.isNull() ? dueOnTimePoint(from, kSunday) : dueInPeriod(from, until, kSunday),
                 due);
    }

    // Start-up deletes affairs whose text is null and those whose text is
    // empty, and nothing else.
    void emptyAffairsRemoved_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("empty text") << "('甲'), (''), ('乙')" << QStringList{"甲", "乙"};
        QTest::newRow("null text") << "('甲'), (null), ('乙')" << QStringList{"甲", "乙"};
        QTest::newRow("both, last") << "('甲'), (null), ('')" << QStringList{"甲"};
        QTest::newRow("blank is text") << "(' '), ('乙')" << QStringList{" ", "乙"};
        QTest::newRow("none empty") << "('甲')" << QStringList{"甲"};
    }
    void emptyAffairsRemoved()
    {
        QFETCH(QString, values);
        QFETCH(QStringList, kept);
        TestBook app;
        app.exec("insert into mp (要事) values " + values);
        store::Connection connection;
        connection.open(app.path());
        store::Recordset settings("select*  from ma", connection);
        store::Recordset affairs("select*  from mp", connection);
        storeDueOutcome(runDueEvaluation(affairs, kSunday), settings, affairs);
        QCOMPARE(app.column("select 要事 from mp"), kept);
    }

    void dueListFollowsCursorAndTestOrder()
    {
        TestBook app;
        const QString cols =
            "insert into mp (要事, 时间点, 起始时间, 结束时间, 每月时间, 每周时间, "
            "每日时间, 每月每日时间) values ";
        const QString stored = "时间点：2026-12-06   ---标记\r\n开会\r\n" + QString(88, u'-');
        app.exec(cols + "('" + stored + "', '2026-12-06', null, null, '', '0', '', ''), " +
                 "('八点', '2026-12-06 08:00:00', null, null, '', '100', '', ''), " +
                 "('全都到期', null, '2026-12-01', '2026-12-06', '12', '100', '6', '12-6'), " +
                 "(null, null, null, null, '', '100', '6', '')");
        app.exec("insert into mp (要事) values ('只有要事')"); // null weekday: Sundays
        app.exec(cols + "('坏的月日', null, null, null, '', '100', '', '7-99999')");

        store::Connection connection;
        connection.open(app.path());
        store::Recordset affairs("select*  from mp", connection);
        const DueOutcome outcome = runDueEvaluation(affairs, kSunday);
        QVERIFY(outcome.evaluated);
        QCOMPARE(outcome.list, entry(stored) + entry(stored) + entry("八点") +
                                   entry("全都到期").repeated(4) + entry("") + entry("只有要事"));
        // The window's path over the cursor and the index path of rmd --due agree
        // on every day, with the index and without it (its own row order).
        const QDate days[] = {kSunday, QDate(2026, 12, 1), QDate(2026, 12, 7), QDate(2027, 1, 5),
                              QDate(2027, 7, 6)};
        for (bool indexed : {true, false}) {
            if (!indexed) app.exec("drop index mp_schedule");
            for (const QDate& day : days)
                QCOMPARE(evaluateDueList(connection, day), dueListOf(affairs, day));
        }
    }

    // T7 and T8 come after T6 for each record, in the window's path over the
    // cursor and in the index path of rmd --due alike.
    void lunarTestsFollowT6_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QStringList>("due");
        QTest::newRow("八月初八") << QDate(2027, 9, 8)
                                  << QStringList{"生日", "三次", "三次", "三次"};
        QTest::newRow("八月初一") << QDate(2027, 9, 1) << QStringList{"初一"};
        QTest::newRow("除夕 on 廿九") << QDate(2026, 2, 16) << QStringList{"除夕"};
        QTest::newRow("nothing lunar") << QDate(2027, 9, 9) << QStringList{};
        QTest::newRow("outside the calendar") << QDate(2101, 1, 1) << QStringList{};
    }
    void lunarTestsFollowT6()
    {
        QFETCH(QDate, day);
        QFETCH(QStringList, due);
        TestBook app;
        app.exec("insert into mp (要事, 每周时间, 每月每日时间, 农历每年时间, 农历每月时间) values "
                 "('生日', '100', '', '8-8', ''), ('初一', '100', '', '', '1'), "
                 "('三次', '100', '9-8', '08-08', '8'), ('坏', '100', '', '13-1', '31'), "
                 "('除夕', '100', '', '12-30', ''), ('空', '100', '', null, null)");
        store::Connection connection;
        connection.open(app.path(), store::Connection::Access::ReadOnly);
        store::Recordset affairs("select*  from mp", connection);
        QString expected;
        for (const QString& text : due)
            expected += entry(text);
        QCOMPARE(dueListOf(affairs, day), expected);
        QCOMPARE(evaluateDueList(connection, day), expected);
    }

    // A book from before the lunar columns: read-only it is evaluated as it
    // is; brought up to date it gains the columns and a wider index.
    void bookWithoutLunarColumns()
    {
        TestBook app;
        for (const char* sql :
             {"drop index mp_schedule", "alter table mp drop column 农历每年时间",
              "alter table mp drop column 农历每月时间",
              "create index mp_schedule on mp (时间点, 起始时间, 结束时间, 每日时间, 每月时间, "
              "每周时间, 每月每日时间)",
              "insert into mp (要事, 每日时间, 每周时间) values ('八号', '8', '100')"})
            app.exec(sql);
        const QString columns = "select group_concat(name, ',') from pragma_table_info('mp')";
        const QString old = app.column(columns).value(0);
        {
            store::Connection connection;
            connection.open(app.path(), store::Connection::Access::ReadOnly);
            store::Recordset affairs("select*  from mp", connection);
            QCOMPARE(evaluateDueList(connection, QDate(2027, 9, 8)), entry("八号"));
            QCOMPARE(dueListOf(affairs, QDate(2027, 9, 8)), entry("八号"));
        }
        QCOMPARE(app.column(columns).value(0), old);
        for (int open = 0; open < 2; ++open) { // the second time finds nothing to do
            store::Connection connection;
            connection.open(app.path());
            store::addMissingColumns(connection);
            QCOMPARE(app.column(columns).value(0), old + ",农历每年时间,农历每月时间");
            QCOMPARE(app.column("select name from pragma_index_info('mp_schedule')").mid(7),
                     (QStringList{"农历每年时间", "农历每月时间"}));
            QCOMPARE(
                app.column("select 要事 || quote(农历每年时间) || quote(农历每月时间) from mp"),
                QStringList{"八号''''"});
        }
    }
};

QTEST_GUILESS_MAIN(TestDue)
#include "test_due.moc"
