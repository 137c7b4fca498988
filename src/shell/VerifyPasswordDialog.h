#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui {
class VerifyPasswordDialog;
}

namespace shell {

class AppContext;
class ChangePasswordDialog;

// yzmm: asks for the current password before it may be changed. On success
// it only hides, so showing it again finds the text typed before.
// Deletes itself when closed.
class VerifyPasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit VerifyPasswordDialog(AppContext& context, QWidget* parent = nullptr);
    ~VerifyPasswordDialog() override;

    // The change-password dialog this one opened, while it exists.
    ChangePasswordDialog* changeDialog() const { return m_change; }

private:
    void readStoredPassword();
    void checkPassword();

    std::unique_ptr<Ui::VerifyPasswordDialog> ui;
    AppContext& m_context;
    QPointer<ChangePasswordDialog> m_change;
};

} // namespace shell
