#pragma once

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class LoginDialog;
}
namespace store {
class Recordset;
}

namespace shell {

class AppContext;
class MainWindow;

// frmLogin: the first window of the organiser. It opens the database, asks
// for the password (unless the stored one is the no-password marker) and
// then hides itself for the rest of the run and shows the main window.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    using WindowFactory = std::function<QWidget*()>;

    // reminderWindowFactory is handed on to the main window.
    LoginDialog(AppContext& context, WindowFactory reminderWindowFactory,
                QWidget* parent = nullptr);
    ~LoginDialog() override;

    // Load: opens the database and reads the password, then either waits
    // for the user or goes straight on to the main window.
    void start();

    MainWindow* mainWindow() const { return m_main.get(); }

    // "注册动态链接库": checks the run-time components; the dialog stays as it is.
    void setRegisterLibraries(std::function<void()> action)
    {
        m_registerLibraries = std::move(action);
    }

    // 取消, Escape and closing the dialog before the login end the program.
    void reject() override;

private:
    void load();
    void checkPassword();
    void enterMainWindow();

    std::unique_ptr<Ui::LoginDialog> ui;
    AppContext& m_context;
    WindowFactory m_reminderWindowFactory;
    std::function<void()> m_registerLibraries;
    std::unique_ptr<store::Recordset> m_recordset;
    std::unique_ptr<MainWindow> m_main;
    bool m_entered = false;
};

} // namespace shell
