#include "FakeNotifier.h"
#include "NotificationBus.h"
#include "TestApp.h"
#include "notify/DayStamp.h"
#include "notify/Digest.h"
#include "notify/NotifyDue.h"
#include "platform/NotifyAtLogin.h"

#include <QtTest>

namespace {

const QDate kDay(2026, 12, 7); // a Monday

// An affair as the editor stores it.
QString stored(const QString& summary, const QString& text)
{
    return summary + " ---标记\r\n" + text + "\r\n" + QString(88, u'-');
}

void addAffair(TestApp& app, const QString& text, const QString& columns, const QString& values)
{
    app.exec(QStringLiteral("insert into mp (要事, %1) values ('%2', %3)")
                 .arg(columns, QString(text).replace("'", "''"), values));
}

struct Outcome {
    int code;
    QString out, err;
};

Outcome runNotifyDue(TestApp& app, platform::Notifier& notifier, bool oncePerDay = true,
                     std::function<bool()> start = {}, int waitMs = 0)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    notify::NotifyDueRun run{app.databasePath(), kDay, oncePerDay, "lumo", start, waitMs};
    const int code = notify::notifyDue(run, notifier, out, err);
    return {code, QString::fromUtf8(out.data()), QString::fromUtf8(err.data())};
}

} // namespace

class TestNotify : public QObject {
    Q_OBJECT
private slots:
    void digest_data()
    {
        QTest::addColumn<int>("affairs");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("lastLine");
        const auto row = [](const char* name, int affairs, const char* summary,
                            const char* lastLine) {
            QTest::newRow(name) << affairs << QString(summary) << QString(lastLine);
        };
        row("one", 1, "今日要事 1 件", "事务 1");
        row("ten, no remainder", 10, "今日要事 10 件", "事务 10");
        row("eleven: ten lines, then the rest", 11, "今日要事 11 件", "还有 1 件");
        row("twenty-five", 25, "今日要事 25 件", "还有 15 件");
    }
    void digest()
    {
        QFETCH(int, affairs);
        QFETCH(QString, summary);
        QFETCH(QString, lastLine);
        TestApp app;
        for (int i = 1; i <= affairs; ++i)
            addAffair(app, stored("每周时间:星期一", QStringLiteral("事务 %1").arg(i)), "每周时间",
                      "'1'");
        fakes::FakeNotifier notifier;
        QCOMPARE(runNotifyDue(app, notifier).code, 0);
        QCOMPARE(notifier.sent.size(), 1);
        const platform::Notification& n = notifier.sent.first();
        QCOMPARE(n.summary, summary);
        const QStringList lines = n.body.split('\n');
        QCOMPARE(lines.size(), qMin(affairs, 10) + (affairs > 10 ? 1 : 0));
        QCOMPARE(lines.first(), QStringLiteral("事务 1"));
        QCOMPARE(lines.last(), lastLine);
        QCOMPARE(n.icon, QStringLiteral("lumo"));
        QCOMPARE(n.actions, QStringList({"open", "打开 Lumo"}));
    }

    // Which affairs a day's notification counts and what line names each.
    void dueAffairs_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("body"); // empty: nothing sent
        const QString own = stored("时间点:2026-12-07", "交房租\r\n第二行");
        const auto row = [](const char* name, const char* columns, const char* values,
                            const QString& text, const char* body) {
            QTest::newRow(name) << QString(columns) << QString(values) << text << QString(body);
        };
        row("own text's first line", "时间点", "'2026-12-07'", own, "交房租");
        row("due by two tests counts once", "时间点, 每周时间", "'2026-12-07', '1'", own, "交房租");
        row("empty own text: the summary line", "每日时间", "'7'", stored("每日时间:7", ""),
            "每日时间:7");
        row("text without a marker", "每月时间", "'12'", "\r\n  只有一行", "只有一行");
        row("lunar day of every month", "农历每月时间", "'29'", own, "交房租");
        row("not due", "每周时间", "'2'", own, "");
        row("no weekday never due", "每周时间", "'100'", own, "");
    }
    void dueAffairs()
    {
        QFETCH(QString, columns);
        QFETCH(QString, values);
        QFETCH(QString, text);
        QFETCH(QString, body);
        TestApp app;
        addAffair(app, text, columns, values);
        fakes::FakeNotifier notifier;
        const Outcome outcome = runNotifyDue(app, notifier);
        QCOMPARE(outcome.code, 0);
        QCOMPARE(outcome.out + outcome.err, QString());
        QCOMPARE(notifier.sent.size(), body.isEmpty() ? 0 : 1);
        if (!body.isEmpty()) {
            QCOMPARE(notifier.sent.first().summary, QStringLiteral("今日要事 1 件"));
            QCOMPARE(notifier.sent.first().body, body);
        }
    }

    // An unreadable book is an error, and the next run tries again.
    void missingBook()
    {
        TestApp app;
        QFile::remove(app.databasePath());
        fakes::FakeNotifier notifier;
        const Outcome outcome = runNotifyDue(app, notifier);
        QCOMPARE(outcome.code, 2);
        QCOMPARE(outcome.out, QString());
        QVERIFY2(outcome.err.startsWith("rmd：无法读取数据库"), qPrintable(outcome.err));
        QVERIFY(notifier.sent.isEmpty());
        QVERIFY(!notify::DayStamp(notify::dayStampPath(app.databasePath())).has(kDay, "day-list"));
    }

    // The log-in entry and the timer run the same command: one notification a day.
    void oncePerDay_data()
    {
        QTest::addColumn<bool>("secondOncePerDay");
        QTest::addColumn<QString>("stampDay");
        QTest::addColumn<int>("sent");
        QTest::newRow("second run the same day") << true << "" << 1;
        QTest::newRow("another day's list by hand") << false << "" << 2;
        QTest::newRow("stamp of yesterday") << true << "2026-12-06" << 1;
    }
    void oncePerDay()
    {
        QFETCH(bool, secondOncePerDay);
        QFETCH(QString, stampDay);
        QFETCH(int, sent);
        TestApp app;
        addAffair(app, stored("每日时间:7", "缴费"), "每日时间", "'7'");
        fakes::FakeNotifier notifier;
        const QString stampPath = notify::dayStampPath(app.databasePath());
        if (!stampDay.isEmpty()) {
            QFile file(stampPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(stampDay.toUtf8() + "\nday-list\n");
            file.close();
            QCOMPARE(runNotifyDue(app, notifier).code, 0);
            QCOMPARE(notifier.sent.size(), sent);
            return;
        }
        runNotifyDue(app, notifier);
        const Outcome second = runNotifyDue(app, notifier, secondOncePerDay);
        QCOMPARE(notifier.sent.size(), sent);
        QCOMPARE(second.err.isEmpty(), sent == 2);
        QVERIFY(QFileInfo(stampPath).absolutePath() == app.path());
    }

    // What the user does with the notification.
    void answer_data()
    {
        QTest::addColumn<QString>("action"); // empty: closed by the user
        QTest::addColumn<bool>("started");
        QTest::newRow("打开 Lumo starts the organiser") << "open" << true;
        QTest::newRow("a click on the notification") << "default" << true;
        QTest::newRow("closed without the action") << "" << false;
    }
    void answer()
    {
        QFETCH(QString, action);
        QFETCH(bool, started);
        TestApp app;
        addAffair(app, stored("每日时间:7", "缴费"), "每日时间", "'7'");
        fakes::FakeNotifier notifier;
        int starts = 0;
        QTimer::singleShot(50, &notifier, [&] {
            if (action.isEmpty())
                emit notifier.closed(1);
            else
                emit notifier.actionInvoked(1, action);
        });
        QElapsedTimer waited;
        waited.start();
        runNotifyDue(
            app, notifier, true, [&] { return ++starts, true; }, 5000);
        QVERIFY2(waited.elapsed() < 4000, "waited for the time-out instead of the answer");
        QCOMPARE(starts, started ? 1 : 0);
        QCOMPARE(notifier.closedIds, started ? QList<uint>{1} : QList<uint>{});
    }

    // The real client against a service of our own on a bus of our own.
    void dbus_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<bool>("critical");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("actions");
        const QStringList all{"body", "actions", "body-markup"};
        QTest::newRow("markup escaped")
            << all << false << "a &amp; b &lt;c&gt;" << QStringList{"open", "打开"};
        QTest::newRow("plain body kept") << QStringList{"body", "actions"} << false << "a & b <c>"
                                         << QStringList{"open", "打开"};
        QTest::newRow("no actions offered: none sent")
            << QStringList{"body"} << false << "a & b <c>" << QStringList{};
        QTest::newRow("critical") << all << true << "a &amp; b &lt;c&gt;"
                                  << QStringList{"open", "打开"};
    }
    void dbus()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(bool, critical);
        QFETCH(QString, body);
        QFETCH(QStringList, actions);
        PrivateBus bus;
        QVERIFY2(!bus.address().isEmpty(), "dbus-daemon did not start");
        FakeNotificationService service(bus, capabilities);
        platform::DBusNotifier notifier(bus.connect("client"));
        const uint id = notifier.notify(
            {"今日要事 1 件", "a & b <c>", "/x/lumo.svg", {"open", "打开"}, critical});
        QCOMPARE(id, 1u);
        const auto sent = service.sent();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].app, QStringLiteral("Lumo"));
        QCOMPARE(sent[0].summary, QStringLiteral("今日要事 1 件"));
        QCOMPARE(sent[0].body, body);
        QCOMPARE(sent[0].icon, QStringLiteral("/x/lumo.svg"));
        QCOMPARE(sent[0].actions, actions);
        QCOMPARE(sent[0].hints.value("urgency").toInt(), critical ? 2 : 1);

        QSignalSpy invoked(&notifier, &platform::Notifier::actionInvoked);
        QSignalSpy closed(&notifier, &platform::Notifier::closed);
        service.invokeAction(id, "open");
        service.closeByUser(id);
        QTRY_COMPARE(invoked.size(), 1);
        QCOMPARE(invoked[0], QVariantList({id, "open"}));
        QTRY_COMPARE(closed.size(), 1);
        QDBusConnection::disconnectFromBus("client");
    }

    void serviceGoneAndBack()
    {
        PrivateBus bus;
        platform::DBusNotifier notifier(bus.connect("client"));
        QCOMPARE(notifier.notify({"a", "b", "", {}, false}), 0u);
        {
            FakeNotificationService service(bus);
            QCOMPARE(notifier.notify({"a", "b", "", {}, false}), 1u);
        }
        QCOMPARE(notifier.notify({"a", "b", "", {}, false}), 0u);
        FakeNotificationService again(bus);
        QCOMPARE(notifier.notify({"a", "b", "", {}, false}), 1u);
        QCOMPARE(again.sent().size(), 1);
        QDBusConnection::disconnectFromBus("client");
    }

    // The real program, copied into a folder with its own book, on the test's bus.
    void program_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("sent, then closed by the user") << true << QString() << QString();
        QTest::newRow("no service: printed") << false << stored("每日时间:7", "缴费") + "\n\r\n\r"
                                             << "rmd：没有桌面通知服务，今日要事写到了标准输出。\n";
    }
    void program()
    {
        QFETCH(bool, service);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TestApp app;
        addAffair(app, stored("每日时间:7", "缴费"), "每日时间", "'7'");
        QVERIFY(QFile::copy(LUMO_RMD, app.path() + "/rmd"));
        QFile(app.path() + "/rmd").setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner);
        PrivateBus bus;
        std::optional<FakeNotificationService> daemon;
        if (service) daemon.emplace(bus);
        QProcess rmd;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        env.insert("LUMO_TODAY", "2026-12-07");
        rmd.setProcessEnvironment(env);
        rmd.start(app.path() + "/rmd", {"--notify-due"});
        if (service) {
            QTRY_COMPARE(daemon->sent().size(), 1);
            QCOMPARE(daemon->sent()[0].summary, QStringLiteral("今日要事 1 件"));
            QCOMPARE(daemon->sent()[0].body, QStringLiteral("缴费"));
            QVERIFY(rmd.state() == QProcess::Running); // waits for the answer
            daemon->closeByUser(1);
        }
        QVERIFY(rmd.waitForFinished(10000));
        QCOMPARE(rmd.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(rmd.readAllStandardOutput()), out);
        QCOMPARE(QString::fromUtf8(rmd.readAllStandardError()), err);
        QCOMPARE(notify::DayStamp(notify::dayStampPath(app.databasePath())).has(kDay, "day-list"),
                 service);
    }

    void loginFiles_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("execStart");
        QTest::newRow("plain path")
            << QString("/opt/lumo/rmd") << QString("Exec=\"/opt/lumo/rmd\" --notify-due")
            << QString("ExecStart=\"/opt/lumo/rmd\" --notify-due");
        QTest::newRow("blank, dollar and percent")
            << "/home/u/my $dir 100%/rmd"
            << "Exec=\"/home/u/my \\\\$dir 100%%/rmd\" --notify-due"
            << "ExecStart=\"/home/u/my $$dir 100%%/rmd\" --notify-due";
    }
    void loginFiles()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QFETCH(QString, execStart);
        QTemporaryDir home;
        platform::NotifyAtLogin files(home.path());
        QVERIFY(!files.enabled());
        QCOMPARE(files.enable(program), QString());
        QVERIFY(files.enabled());
        const auto read = [](const QString& path) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            return QString::fromUtf8(file.readAll());
        };
        QVERIFY(read(files.autostartPath()).split('\n').contains(exec));
        QVERIFY(read(files.servicePath()).split('\n').contains(execStart));
        const QString timer = read(files.timerPath());
        QVERIFY(timer.contains("OnCalendar=*-*-* 08:00:00\nPersistent=true\n"));
        QCOMPARE(QFileInfo(files.timerLinkPath()).symLinkTarget(), files.timerPath());
        QCOMPARE(files.timerPath(), home.path() + "/systemd/user/lumo-notify.timer");
        QCOMPARE(files.autostartPath(), home.path() + "/autostart/lumo-notify.desktop");

        QCOMPARE(files.disable(), QString());
        QVERIFY(!files.enabled());
        for (const QString& path :
             {files.autostartPath(), files.servicePath(), files.timerPath(), files.timerLinkPath()})
            QVERIFY2(!QFileInfo(path).isSymLink() && !QFileInfo::exists(path), qPrintable(path));
    }

    void unitsVerify()
    {
        const QString analyze = QStandardPaths::findExecutable("systemd-analyze");
        if (analyze.isEmpty()) QSKIP("systemd-analyze is not installed");
        QTemporaryDir home, runtime;
        platform::NotifyAtLogin files(home.path());
        // A real program: verify checks that ExecStart names one.
        QCOMPARE(files.enable("/bin/true"), QString());
        QProcess verify;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("XDG_CONFIG_HOME", home.path());
        verify.setProcessEnvironment(env);
        verify.start(analyze, {"verify", "--user", files.timerPath(), files.servicePath()});
        QVERIFY(verify.waitForFinished(60000));
        const QString output = verify.readAllStandardError() + verify.readAllStandardOutput();
        QVERIFY2(verify.exitCode() == 0, qPrintable(output));
        QVERIFY2(!output.contains("lumo-notify"), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestNotify)
#include "test_notify.moc"
