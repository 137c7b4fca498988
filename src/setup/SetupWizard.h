#pragma once

#include "setup/InstallWindow.h"
#include "setup/SetupContext.h"
#include "setup/TutorialWindow.h"

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui {
class SetupWizard;
}

namespace setup {

// azcsh "操作向导": the first window of the set-up program. It opens the
// installation window and the tutorial window, one of each at a time.
class SetupWizard : public QWidget {
    Q_OBJECT
public:
    explicit SetupWizard(SetupContext& context, QWidget* parent = nullptr);
    ~SetupWizard() override;

    InstallWindow* installWindow() const { return m_install; }
    TutorialWindow* tutorialWindow() const { return m_tutorial; }

private:
    void showInstallWindow();
    void showTutorialWindow();

    std::unique_ptr<Ui::SetupWizard> ui;
    SetupContext& m_context;
    QPointer<InstallWindow> m_install;
    QPointer<TutorialWindow> m_tutorial;
};

} // namespace setup
