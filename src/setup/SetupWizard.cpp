#include "setup/SetupWizard.h"

#include "ui_SetupWizard.h"

#include "platform/ScreenFit.h"
#include "setup/InstallWindow.h"
#include "setup/TutorialWindow.h"

#include <QScreen>
#include <algorithm>

namespace setup {

namespace {

// A new window comes up over the wizard, not wherever the window manager
// likes, and wholly on the screen.
void bringUp(QWidget* window, bool created, const QWidget* wizard)
{
    if (created) {
        window->adjustSize();
        QRect frame(QPoint(), window->size());
        frame.moveCenter(wizard->frameGeometry().center());
        if (const QScreen* screen = wizard->screen()) {
            const QRect free = screen->availableGeometry();
            frame.moveLeft(std::clamp(frame.left(), free.left(),
                                      std::max(free.left(), free.right() - frame.width())));
            frame.moveTop(std::clamp(frame.top(), free.top(),
                                     std::max(free.top(), free.bottom() - frame.height() - 30)));
        }
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

SetupWizard::SetupWizard(SetupContext& context, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::SetupWizard>()), m_context(context)
{
    ui->setupUi(this);
    connect(ui->Command1, &QPushButton::clicked, this, &SetupWizard::showInstallWindow);
    connect(ui->Command3, &QPushButton::clicked, this, &SetupWizard::showTutorialWindow);
    // Ends at once: the set-up program holds nothing that needs saving.
    connect(ui->Command2, &QPushButton::clicked, this, [this] { m_context.endProcess(0); });
    platform::fitToScreen(*this);
}

SetupWizard::~SetupWizard()
{
    delete m_install;
    delete m_tutorial;
}

// A closed window is gone, so its boxes can be ticked again only when it is
// opened anew; an open one is brought to the front.
void SetupWizard::showInstallWindow()
{
    const bool created = !m_install;
    if (created) {
        m_install = new InstallWindow(m_context);
        m_install->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringUp(m_install, created, this);
}

void SetupWizard::showTutorialWindow()
{
    const bool created = !m_tutorial;
    if (created) {
        m_tutorial = new TutorialWindow(m_context);
        m_tutorial->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringUp(m_tutorial, created, this);
}

} // namespace setup
