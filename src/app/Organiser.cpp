// The organiser's windows, loaded by rmd only when it starts them: the
// command line stays free of the widget and media libraries.
#include "app/Organiser.h"
#include "app/CommandLine.h"
#include "app/Ending.h"
#include "app/SingleInstance.h"
#include "app/WindowTable.h"
#include "notify/Scheduler.h"
#include "platform/Autostart.h"
#include "platform/ChineseUi.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/Icons.h"
#include "platform/MediaPlayer.h"
#include "platform/Notifier.h"
#include "platform/Speech.h"
#include "platform/SpreadsheetPrinter.h"
#include "platform/Tray.h"
#include "reminders/ReminderWindow.h"
#include "setup/QtSystemProbe.h"
#include "setup/SetupContext.h"
#include "shell/AppContext.h"
#include "shell/LoginDialog.h"
#include "shell/TrayPresence.h"
#include "store/Backup.h"
#include "store/BookFolders.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QDBusConnection>
#include <QStandardPaths>
#include <QTimer>
#include <functional>

namespace {

// A later start asks for the organiser: show every window it has open.
void bringWindowsForward()
{
    QWidget* focus = QApplication::activeModalWidget();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::Popup ||
            window->windowType() == Qt::ToolTip)
            continue;
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        if (!focus) focus = window;
    }
    if (focus) focus->activateWindow();
}

// After the login: notifications at due times and at midnight, and the tray
// icon where the desktop has a tray.
struct Reminding {
    Reminding(shell::AppContext& context, const platform::Clock& clock,
              platform::Notifier& notifier)
        : scheduler(clock, notifier, context.databasePath(),
                    platform::notificationIcon(context.appPath())),
          tray(context,
               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                   QStringLiteral("/lumo/tray-notice-shown"),
               [this] { scheduler.notifyToday(); })
    {
        const bool inTray = tray.install();
        QObject::connect(&scheduler, &notify::Scheduler::openRequested, &scheduler, [this, inTray] {
            if (inTray)
                tray.showWindows();
            else
                bringWindowsForward();
        });
        scheduler.start();
    }
    notify::Scheduler scheduler;
    shell::TrayPresence tray;
};

// The first start of a day keeps a copy of the book as it was.
void makeDailyBackup(const store::BookFolders& folders, QDate today, platform::Dialogs& dialogs)
{
    try {
        store::dailyBackup(folders.book(), folders.backups(), today);
    } catch (const store::StoreError& e) {
        dialogs.message(store::backupFailedText(e.message()), platform::kDefaultTitle,
                        platform::Buttons::Ok, platform::Icon::Warning);
    }
}

} // namespace

int lumo_run_organiser(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Every way out runs through exitApplication.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::setUpChineseUi(application);
    QApplication::setWindowIcon(platform::lumoIcon(QStringLiteral("lumo")));

    const std::unique_ptr<platform::Clock> clock = platform::clockFromEnvironment();
    platform::QtDialogs dialogs;
    platform::QtDesktop desktop([&dialogs](const QString& text) {
        dialogs.message(text, platform::kDefaultTitle, platform::Buttons::Ok,
                        platform::Icon::Warning);
    });
    const std::unique_ptr<platform::MediaPlayer> mediaPlayer = platform::createQtMediaPlayer();
    const std::unique_ptr<platform::MediaPlayer> alarmPlayer = platform::createQtMediaPlayer();
    const std::unique_ptr<platform::Speech> speech = platform::createQtSpeech();
    // Shows the workbook with the desktop's program for .xlsx, asked first.
    platform::OoxmlSpreadsheetPrinter printer;
    platform::XdgAutostart autostart;
    platform::DBusNotifier notifier(QDBusConnection::sessionBus());
    platform::QtTray tray;

    platform::Services services;
    services.clock = clock.get();
    services.dialogs = &dialogs;
    services.desktop = &desktop;
    services.mediaPlayer = mediaPlayer.get();
    services.speech = speech.get();
    services.printer = &printer;
    services.autostart = &autostart;
    services.alarmPlayer = alarmPlayer.get();
    services.notifier = &notifier;
    services.tray = &tray;

    const store::BookPlace place = store::locateBook(QCoreApplication::applicationDirPath());
    if (!place.problem.isEmpty()) {
        dialogs.message(place.problem, platform::kDefaultTitle, platform::Buttons::Ok,
                        platform::Icon::Critical);
        return 1;
    }
    // Decided before the book is opened: two organisers would write it at once.
    app::SingleInstance instance(place.folders.book());
    if (!app::startAsOrganiser(instance, dialogs, bringWindowsForward)) return 0;
    makeDailyBackup(place.folders, clock->today(), dialogs);

    // The database and the text files are closed before this runs, and
    // nothing else holds unwritten data, so ending at once loses nothing.
    app::Ending ending([&instance] { instance.release(); });
    shell::AppContext context(place.folders, services, std::ref(ending));
    app::registerWindows(context);

    // rmd --window NAME: that window opens too, once the reminder window is up.
    const QString extra = app::parseCommandLine(QCoreApplication::arguments().mid(1)).window;
    std::unique_ptr<Reminding> reminding;
    auto reminderWindow = [&context, &clock, &notifier, &reminding, extra]() -> QWidget* {
        QWidget* reminder = new reminders::ReminderWindow(context);
        if (!context.ended() && !reminding)
            reminding = std::make_unique<Reminding>(context, *clock, notifier);
        if (!extra.isEmpty())
            QTimer::singleShot(0, reminder, [&context, extra] {
                if (!context.ended()) context.windows().open(extra);
            });
        return reminder;
    };

    shell::LoginDialog login(context, reminderWindow);
    // Its own player, so a check never stops or reports on the alarm's.
    login.setRegisterLibraries([&dialogs, &context] {
        const auto player = platform::createQtMediaPlayer();
        setup::QtSystemProbe probe(player.get());
        setup::registerLibraries(dialogs, [&probe, &context](int n) {
            return setup::runCheck(n, probe, context.dataPath());
        });
    });
    login.start();
    return ending.runEventLoop();
}
