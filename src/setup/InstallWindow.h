#pragma once

#include "setup/SetupContext.h"

#include <QWidget>
#include <memory>

namespace Ui {
class InstallWindow;
}
class QCheckBox;

namespace setup {

// What the installers of other systems were; here each names a check of
// this installation, and the main program is started by its path.
enum class Component { DatabaseEngine = 1, SpeechService, Espeak, Flite, MainProgram };

// anzhkwj "安装数据库或英语语音引擎": five boxes, each checking one component
// and reporting what it found; closing it starts the organiser.
class InstallWindow : public QWidget {
    Q_OBJECT
public:
    explicit InstallWindow(SetupContext& context, QWidget* parent = nullptr);
    ~InstallWindow() override;

    void openComponent(Component component);
    void registerLibraries();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ticked(QCheckBox* box, bool checked, const std::function<void()>& action);
    void runCheck(int n);

    std::unique_ptr<Ui::InstallWindow> ui;
    SetupContext& m_context;
    bool m_busy = false;
    bool m_closeWanted = false;
};

} // namespace setup
