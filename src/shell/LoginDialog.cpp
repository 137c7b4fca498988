#include "shell/LoginDialog.h"

#include "ui_LoginDialog.h"

#include "platform/Dialogs.h"
#include "shell/AppContext.h"
#include "shell/MainWindow.h"
#include "shell/Password.h"
#include "store/Recordset.h"

namespace shell {

LoginDialog::LoginDialog(AppContext& context, WindowFactory reminderWindowFactory, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::LoginDialog>()), m_context(context),
      m_reminderWindowFactory(std::move(reminderWindowFactory))
{
    ui->setupUi(this);
    connect(ui->cmdOK, &QPushButton::clicked, this,
            [this] { m_context.guarded([this] { checkPassword(); }); });
    connect(ui->cmdCancel, &QPushButton::clicked, this, &LoginDialog::reject);
    connect(ui->Command1, &QPushButton::clicked, this, [this] {
        if (m_registerLibraries) m_registerLibraries();
    });
}

LoginDialog::~LoginDialog() = default;

void LoginDialog::start()
{
    m_context.guarded([this] { load(); }, AppContext::OnRefusal::End);
    if (m_context.ended()) return; // the error box has been shown; no window may follow it
    if (storedPassword(*m_recordset) == kNoPasswordMarker) {
        enterMainWindow();
        return;
    }
    show();
    ui->Text1->setFocus(Qt::OtherFocusReason);
}

void LoginDialog::load()
{
    m_context.openDatabase();
    ui->Text1->clear();
    m_recordset = std::make_unique<store::Recordset>(kPasswordSql, m_context.dbConnection());
    m_recordset->moveFirst();
}

void LoginDialog::checkPassword()
{
    if (m_entered || !m_recordset) return;
    if (passwordMatches(ui->Text1->text(), storedPassword(*m_recordset))) {
        enterMainWindow();
        return;
    }
    m_context.services().dialogs->message(QStringLiteral("无效的密码，请重试!"),
                                          QStringLiteral("登录"), platform::Buttons::Ok);
    ui->Text1->clear();
    selectForRetry(ui->Text1);
}

void LoginDialog::enterMainWindow()
{
    m_entered = true;
    m_recordset->close();
    m_recordset.reset();
    hide();
    m_main = std::make_unique<MainWindow>(m_context, m_reminderWindowFactory);
    if (!m_context.ended()) m_main->show();
}

void LoginDialog::reject()
{
    QDialog::reject();
    if (!m_entered) m_context.exitApplication(0);
}

} // namespace shell
