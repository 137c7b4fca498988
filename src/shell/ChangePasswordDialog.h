#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class ChangePasswordDialog;
}
namespace store {
class Recordset;
}

namespace shell {

class AppContext;

// mash: sets a new password in two stages, typing it and then confirming
// it. A mismatch starts again from the first stage and stores nothing.
// Deletes itself when closed.
class ChangePasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChangePasswordDialog(AppContext& context, QWidget* parent = nullptr);
    ~ChangePasswordDialog() override;

private:
    void load();
    void unload();
    void toConfirmStage();
    void showTypedPassword();
    void storePassword();

    std::unique_ptr<Ui::ChangePasswordDialog> ui;
    AppContext& m_context;
    std::unique_ptr<store::Recordset> m_recordset;
};

} // namespace shell
