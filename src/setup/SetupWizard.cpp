#include "setup/SetupWizard.h"

#include "ui_SetupWizard.h"

#include "setup/InstallWindow.h"
#include "setup/TutorialWindow.h"

namespace setup {

namespace {

template <typename Window> void bringUp(Window* window)
{
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
}

SetupWizard::~SetupWizard()
{
    delete m_install;
    delete m_tutorial;
}

// A closed window is gone, so its boxes come back ticked-off only when it is
// opened anew; an open one is brought to the front.
void SetupWizard::showInstallWindow()
{
    if (!m_install) {
        m_install = new InstallWindow(m_context);
        m_install->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringUp(m_install.data());
}

void SetupWizard::showTutorialWindow()
{
    if (!m_tutorial) {
        m_tutorial = new TutorialWindow(m_context);
        m_tutorial->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringUp(m_tutorial.data());
}

} // namespace setup
