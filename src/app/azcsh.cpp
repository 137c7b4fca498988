// azcsh: the set-up program. It starts with the wizard, checks this
// installation's components and ends by starting rmd beside it.
#include "platform/ChineseUi.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/Icons.h"
#include "platform/MediaPlayer.h"
#include "setup/QtSystemProbe.h"
#include "setup/SetupContext.h"
#include "setup/SetupWizard.h"
#include "store/BookFolders.h"

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    platform::setUpChineseUi(application);
    QApplication::setWindowIcon(platform::lumoIcon(QStringLiteral("lumo")));

    platform::QtDialogs dialogs;
    platform::QtDesktop desktop([&dialogs](const QString& text) {
        dialogs.message(text, platform::kDefaultTitle, platform::Buttons::Ok,
                        platform::Icon::Warning);
    });
    const std::unique_ptr<platform::MediaPlayer> tutorialPlayer = platform::createQtMediaPlayer();
    // The checks play their samples on a player of their own, so a failing
    // sample is never reported as a failing tutorial.
    const std::unique_ptr<platform::MediaPlayer> checkPlayer = platform::createQtMediaPlayer();
    setup::QtSystemProbe probe(checkPlayer.get());

    setup::SetupContext context;
    context.appPath = QCoreApplication::applicationDirPath();
    // The checks look at the book where the organiser will find it.
    const store::BookFolders folders = store::locateBook(context.appPath).folders;
    context.dataPath = folders.data;
    context.resourcePath = folders.resources;
    context.services.dialogs = &dialogs;
    context.services.desktop = &desktop;
    context.services.mediaPlayer = tutorialPlayer.get();
    context.check = [&probe, &context](int n) {
        return setup::runCheck(n, probe, context.dataPath);
    };
    // Nothing unsaved exists in the set-up program, so ending at once loses nothing.
    context.endProcess = [](int code) { std::exit(code); };

    setup::SetupWizard wizard(context);
    wizard.show();
    return QApplication::exec();
}
