#include "FakeNotifier.h"
#include "RmdDriver.h"
#include "platform/NotifyAtLogin.h"
#include "shell/TrayPresence.h"

// Closing to the tray, the tray's menu, and the 扩展 menu.
class TestTray : public QObject {
    Q_OBJECT
private slots:
    void closing_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<QStringList>("steps"); // close, open, today, quit
        QTest::addColumn<QString>("expected");  // visible | exit codes | notifications | today
        const auto row = [](const char* name, bool tray, const QStringList& steps,
                            const char* expected) {
            QTest::newRow(name) << tray << steps << expected;
        };
        row("no tray: closing ends the program", false, {"close"}, "0|0||0");
        row("tray: closing hides and keeps running", true, {"close"}, "0||Lumo 仍在托盘中运行|0");
        row("told only the first time", true, {"close", "open", "close"},
            "0||Lumo 仍在托盘中运行|0");
        row("open brings the window back", true, {"close", "open"}, "1||Lumo 仍在托盘中运行|0");
        row("today's list from the menu", true, {"today", "today"}, "1|||2");
        row("quit ends the program", true, {"quit"}, "1|0||0");
    }
    void closing()
    {
        QFETCH(bool, tray);
        QFETCH(QStringList, steps);
        QFETCH(QString, expected);
        Rmd a;
        a.app.tray.isAvailable = tray;
        QTemporaryDir config;
        int today = 0;
        shell::TrayPresence presence(a.app.context(), config.filePath("lumo/tray-notice-shown"),
                                     [&] { ++today; });
        QCOMPARE(presence.install(), tray);
        QCOMPARE(a.app.tray.shown, tray ? 1 : 0);
        for (const QString& step : steps) {
            if (step == "close")
                a.w->close();
            else if (step == "open")
                emit a.app.tray.openRequested();
            else if (step == "today")
                emit a.app.tray.todayRequested();
            else
                emit a.app.tray.quitRequested();
        }
        QStringList codes;
        for (int code : a.app.exitCodes)
            codes << QString::number(code);
        const QString actual =
            QStringList{QString::number(a.w->isVisible()), codes.join(','),
                        a.app.notifier.summaries().join(','), QString::number(today)}
                .join('|');
        QCOMPARE(actual, expected);
    }

    // 登录时通知今日要事: written, shown checked, removed by choosing it again.
    void notifyAtLoginMenu()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        Rmd a;
        QMenuBar* bar = a.w->menuBar();
        const QList<QAction*> menus = bar->actions();
        QCOMPARE(menus.last()->text(), QStringLiteral("扩展(&X)"));
        QCOMPARE(menus[menus.size() - 2]->text(), QStringLiteral("帮助(&H)"));
        QAction* item = a.w->findChild<QAction*>("actionNotifyAtLogin");
        QCOMPARE(item->text(), QStringLiteral("登录时通知今日要事"));
        platform::NotifyAtLogin files(config.path());
        QList<bool> seen{item->isChecked()}; // the item, then the file, after each step
        for (int i = 0; i < 2; ++i) {
            item->trigger();
            seen << item->isChecked() << files.enabled();
        }
        // Written by hand: the menu shows what is there.
        QCOMPARE(files.enable("/bin/true"), QString());
        emit menus.last()->menu()->aboutToShow();
        QCOMPARE(seen << item->isChecked(), (QList<bool>{false, true, true, false, false, true}));
        QVERIFY(a.app.dialogs.messages.isEmpty());
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_MAIN(TestTray)
#include "test_tray.moc"
