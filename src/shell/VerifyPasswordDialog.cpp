#include "shell/VerifyPasswordDialog.h"

#include "ui_VerifyPasswordDialog.h"

#include "platform/Dialogs.h"
#include "shell/AppContext.h"
#include "shell/ChangePasswordDialog.h"
#include "shell/Password.h"
#include "store/Recordset.h"
#include <QTimer>

namespace shell {

VerifyPasswordDialog::VerifyPasswordDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::VerifyPasswordDialog>()), m_context(context)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->Command1, &QPushButton::clicked, this,
            [this] { m_context.guarded([this] { checkPassword(); }); });
    connect(ui->Command2, &QPushButton::clicked, this, &QWidget::close);
    if (!m_context.guarded([this] { readStoredPassword(); }))
        QTimer::singleShot(0, this, &QWidget::close);
}

VerifyPasswordDialog::~VerifyPasswordDialog() = default;

void VerifyPasswordDialog::readStoredPassword()
{
    m_context.sharedCursor =
        std::make_unique<store::Recordset>(kPasswordSql, m_context.dbConnection());
    m_context.sharedCursor->moveFirst();
}

void VerifyPasswordDialog::checkPassword()
{
    // Read afresh: the password may have been changed since this dialog was
    // loaded, and the old one must not open the way any more.
    readStoredPassword();
    if (passwordMatches(ui->Text1->text(), storedPassword(*m_context.sharedCursor))) {
        hide();
        if (!m_change) m_change = new ChangePasswordDialog(m_context);
        m_change->show();
        m_change->raise();
        m_change->activateWindow();
        return;
    }
    m_context.services().dialogs->message(QStringLiteral("无效的密码，请重试!"),
                                          QStringLiteral("验证"), platform::Buttons::Ok);
    selectForRetry(ui->Text1);
}

} // namespace shell
