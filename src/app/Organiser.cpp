// The organiser's windows, loaded by rmd only when it starts them: the
// command line stays free of the widget and media libraries.
#include "app/Organiser.h"
#include "app/WindowTable.h"
#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/Speech.h"
#include "platform/SpreadsheetPrinter.h"
#include "reminders/ReminderWindow.h"
#include "shell/AppContext.h"
#include "shell/LoginDialog.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>

namespace {

// The interface speaks Chinese whatever the session's locale, so Qt's own
// buttons and dialogs must too.
void installChineseTranslations(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// Fontconfig usually falls back to a CJK font by itself; a session whose
// default font has no Chinese glyphs gets one that has.
void ensureChineseFont()
{
    const QFont font = QApplication::font();
    if (QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::SimplifiedChinese))
        return;
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& wanted :
         {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")}) {
        if (families.contains(wanted)) {
            QFont chinese = font;
            chinese.setFamilies({font.family(), wanted});
            QApplication::setFont(chinese);
            return;
        }
    }
}

} // namespace

int lumo_run_organiser(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Every way out runs through exitApplication.
    QApplication::setQuitOnLastWindowClosed(false);
    installChineseTranslations(application);
    ensureChineseFont();

    const std::unique_ptr<platform::Clock> clock = platform::clockFromEnvironment();
    platform::QtDialogs dialogs;
    platform::QtDesktop desktop;
    const std::unique_ptr<platform::MediaPlayer> mediaPlayer = platform::createQtMediaPlayer();
    const std::unique_ptr<platform::Speech> speech = platform::createQtSpeech();
    platform::OoxmlSpreadsheetPrinter printer(
        [&desktop](const QString& path) { return desktop.open(path).isEmpty(); });
    platform::XdgAutostart autostart;

    platform::Services services;
    services.clock = clock.get();
    services.dialogs = &dialogs;
    services.desktop = &desktop;
    services.mediaPlayer = mediaPlayer.get();
    services.speech = speech.get();
    services.printer = &printer;
    services.autostart = &autostart;

    // The database and the text files are closed before this runs, and
    // nothing else holds unwritten data, so ending at once loses nothing.
    shell::AppContext context(QCoreApplication::applicationDirPath(), services,
                              [](int code) { std::exit(code); });
    app::registerWindows(context);

    auto reminderWindow = [&context]() -> QWidget* {
        return new reminders::ReminderWindow(context);
    };

    shell::LoginDialog login(context, reminderWindow);
    login.start();
    return QApplication::exec();
}
