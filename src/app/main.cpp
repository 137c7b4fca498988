// rmd: the organiser. Window-less command-line options are handled before
// any QApplication exists; otherwise the login dialog is the first window.
#include "app/CommandLine.h"
#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/Speech.h"
#include "platform/SpreadsheetPrinter.h"
#include "shell/AppContext.h"
#include "shell/LoginDialog.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>

#if __has_include("reminders/ReminderWindow.h")
#include "reminders/ReminderWindow.h"
#define LUMO_HAS_REMINDER_WINDOW 1
#endif

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
    for (const QString& wanted : {QStringLiteral("WenQuanYi Micro Hei"),
                                  QStringLiteral("Noto Sans CJK SC")}) {
        if (families.contains(wanted)) {
            QFont chinese = font;
            chinese.setFamilies({font.family(), wanted});
            QApplication::setFont(chinese);
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> handled = app::runCommandLine(argc, argv))
        return *handled;

    QApplication application(argc, argv);
    // Every way out runs through exitApplication.
    QApplication::setQuitOnLastWindowClosed(false);
    installChineseTranslations(application);
    ensureChineseFont();

    platform::SystemClock clock;
    platform::QtDialogs dialogs;
    platform::QtDesktop desktop;
    const std::unique_ptr<platform::MediaPlayer> mediaPlayer = platform::createQtMediaPlayer();
    const std::unique_ptr<platform::Speech> speech = platform::createQtSpeech();
    platform::OoxmlSpreadsheetPrinter printer(
        [&desktop](const QString& path) { return desktop.open(path).isEmpty(); });
    platform::XdgAutostart autostart;

    platform::Services services;
    services.clock = &clock;
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

#ifdef LUMO_HAS_REMINDER_WINDOW
    auto reminderWindow = [&context]() -> QWidget* {
        return new reminders::ReminderWindow(context);
    };
#else
    // The reminder window is not part of this build yet.
    auto reminderWindow = []() -> QWidget* { return nullptr; };
#endif

    shell::LoginDialog login(context, reminderWindow);
    login.start();
    return QApplication::exec();
}
