#include "FakeNotifier.h"
#include "TestApp.h"
#include "notify/DayStamp.h"
#include "notify/Scheduler.h"

#include <QtTest>

namespace {

const QDate kDay(2026, 12, 7);

QString stored(const QString& text)
{
    return "时间点 ---标记\r\n" + text + "\r\n" + QString(88, u'-');
}

} // namespace

// The running organiser's notifications, on a faked clock.
class TestScheduler : public QObject {
    Q_OBJECT
private slots:
    void scheduler_data()
    {
        QTest::addColumn<QStringList>("affairs"); // "时间点|text"
        // Steps: "HH:mm:ss" (the clock moves there, then a check), "day N HH:mm:ss",
        // "restart" (a new organiser), "offline"/"online" (the service goes and comes back).
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("sent"); // "summary: body"
        const QStringList ten{"2026-12-07 10:00:00|交房租"};
        QTest::newRow("not yet") << ten << QStringList{"09:30:00", "09:59:59"} << QStringList{};
        QTest::newRow("at the time")
            << ten << QStringList{"09:30:00", "10:00:10"} << QStringList{"要事 10:00: 交房租"};
        QTest::newRow("once, however many checks")
            << ten << QStringList{"09:30:00", "10:00:10", "10:00:25", "restart", "11:00:00"}
            << QStringList{"要事 10:00: 交房租"};
        QTest::newRow("times past at the start: summed up")
            << QStringList{"2026-12-07 08:00:00|早会", "2026-12-07 09:15:00|交报告", ten[0]}
            << QStringList{"09:30:00"}
            << QStringList{"今天已过时间的要事 2 件: 08:00 早会\n09:15 交报告"};
        QTest::newRow("past ones not summed again after a restart")
            << QStringList{"2026-12-07 08:00:00|早会"}
            << QStringList{"09:30:00", "restart", "09:40:00"}
            << QStringList{"今天已过时间的要事 1 件: 08:00 早会"};
        QTest::newRow("midnight: the new day's list")
            << QStringList{"2026-12-08|体检", "2026-12-08|复诊"}
            << QStringList{"23:59:50", "day 8 00:00:05"}
            << QStringList{"今日要事 2 件: 体检\n复诊"};
        QTest::newRow("midnight list only once a day")
            << QStringList{"2026-12-08|体检"}
            << QStringList{"23:59:50",       "day 8 00:00:05", "restart",
                           "day 8 00:00:10", "day 7 23:00:00", "day 8 00:00:20"}
            << QStringList{"今日要事 1 件: 体检"};
        QTest::newRow("midnight with nothing due: silent")
            << QStringList{"2026-12-07|今天"} << QStringList{"23:59:50", "day 8 00:00:05"}
            << QStringList{};
        QTest::newRow("another day's time")
            << QStringList{"2026-12-08 09:00:00|明天"} << QStringList{"09:30:00"} << QStringList{};
        QTest::newRow("malformed time of day")
            << QStringList{"2026-12-07 29:00:00|坏时间"} << QStringList{"09:30:00", "23:00:00"}
            << QStringList{};
        QTest::newRow("service gone: the next check tries again")
            << ten << QStringList{"09:30:00", "offline", "10:00:10", "online", "10:00:25"}
            << QStringList{"要事 10:00: 交房租"};
    }
    void scheduler()
    {
        QFETCH(QStringList, affairs);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, sent);
        TestApp app;
        for (const QString& affair : affairs)
            app.exec(QStringLiteral("insert into mp (要事, 时间点) values ('%1', '%2')")
                         .arg(stored(affair.section('|', 1)), affair.section('|', 0, 0)));
        fakes::FakeNotifier notifier;
        auto scheduler =
            std::make_unique<notify::Scheduler>(app.clock, notifier, app.databasePath(), "lumo");
        bool started = false;
        for (const QString& step : steps) {
            if (step == "restart") {
                scheduler = std::make_unique<notify::Scheduler>(app.clock, notifier,
                                                                app.databasePath(), "lumo");
                started = false;
                continue;
            }
            if (step == "offline" || step == "online") {
                notifier.available = step == "online";
                continue;
            }
            const QDate day =
                step.startsWith("day ") ? QDate(2026, 12, step.section(' ', 1, 1).toInt()) : kDay;
            app.clock.current =
                QDateTime(day, QTime::fromString(step.section(' ', -1), "HH:mm:ss"));
            if (!started)
                scheduler->start();
            else
                scheduler->check();
            started = true;
        }
        QStringList actual;
        for (const auto& n : notifier.sent)
            actual << n.summary + ": " + n.body;
        QCOMPARE(actual, sent);
    }

    void todayOnRequest()
    {
        TestApp app;
        app.clock.current = QDateTime(kDay, QTime(9, 0));
        fakes::FakeNotifier notifier;
        notify::Scheduler scheduler(app.clock, notifier, app.databasePath(), "lumo");
        scheduler.notifyToday();
        app.exec("insert into mp (要事, 每日时间) values ('" + stored("缴费") + "', '7')");
        scheduler.notifyToday();
        scheduler.notifyToday(); // asked for: sent every time
        QCOMPARE(notifier.summaries(),
                 QStringList({"今日要事 0 件", "今日要事 1 件", "今日要事 1 件"}));
        QCOMPARE(notifier.sent[0].body, QStringLiteral("今天没有到期的要事。"));
        QSignalSpy open(&scheduler, &notify::Scheduler::openRequested);
        emit notifier.actionInvoked(3, "open");
        emit notifier.actionInvoked(99, "open"); // not ours
        QCOMPARE(open.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestScheduler)
#include "test_scheduler.moc"
