#include "shell/ChangePasswordDialog.h"

#include "ui_ChangePasswordDialog.h"

#include "platform/Dialogs.h"
#include "shell/AppContext.h"
#include "shell/Password.h"
#include "store/Recordset.h"
#include <QTimer>

namespace shell {

ChangePasswordDialog::ChangePasswordDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ChangePasswordDialog>()), m_context(context)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui->Command1, &QPushButton::clicked, this, &ChangePasswordDialog::toConfirmStage);
    connect(ui->Command2, &QPushButton::clicked, this, &ChangePasswordDialog::showTypedPassword);
    connect(ui->Command3, &QPushButton::clicked, this,
            [this] { m_context.guarded([this] { storePassword(); }); });
    if (!m_context.guarded([this] { load(); })) QTimer::singleShot(0, this, &QWidget::close);
}

ChangePasswordDialog::~ChangePasswordDialog()
{
    unload();
}

void ChangePasswordDialog::load()
{
    ui->Text1->clear();
    ui->Text2->clear();
    ui->Label1->show();
    ui->Text1->show();
    ui->Command1->show();
    ui->Command1->setDefault(true);
    ui->Label2->hide();
    ui->Text2->hide();
    ui->Command3->hide();
    ui->Text1->setFocus(Qt::OtherFocusReason);
    m_recordset = std::make_unique<store::Recordset>(kPasswordSql, m_context.dbConnection());
}

void ChangePasswordDialog::unload()
{
    if (m_recordset) m_recordset->close();
    m_recordset.reset();
}

void ChangePasswordDialog::toConfirmStage()
{
    ui->Label1->hide();
    ui->Text1->hide();
    ui->Label2->show();
    ui->Text2->show();
    ui->Text2->setFocus(Qt::OtherFocusReason);
    ui->Command1->hide();
    ui->Command3->show();
    ui->Command3->setDefault(true);
}

void ChangePasswordDialog::showTypedPassword()
{
    m_context.services().dialogs->message(QStringLiteral("当前密码为:") + ui->Text1->text(),
                                          platform::kDefaultTitle, platform::Buttons::Ok);
}

void ChangePasswordDialog::storePassword()
{
    ui->Text2->setFocus(Qt::OtherFocusReason);
    m_recordset = std::make_unique<store::Recordset>(kPasswordSql, m_context.dbConnection());
    m_recordset->moveFirst();
    const auto& dialogs = m_context.services().dialogs;
    if (ui->Text1->text() != ui->Text2->text()) {
        dialogs->message(QStringLiteral("密码不对,请重输入"), platform::kDefaultTitle,
                         platform::Buttons::Ok);
        // Start over as a freshly opened dialog would.
        unload();
        load();
        show();
        return;
    }
    ensureSettingsRow(*m_recordset);
    m_recordset->collect(0, ui->Text1->text());
    m_recordset->update();
    m_context.dbConnection().commitSoFar(); // stored before saying so
    dialogs->message(QStringLiteral("密码设置成功！"), platform::kDefaultTitle,
                     platform::Buttons::Ok);
}

} // namespace shell
