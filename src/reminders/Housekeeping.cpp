#include "reminders/Housekeeping.h"

#include "core/Expiry.h"
#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/Pictures.h"
#include "reminders/AffairEditor.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"

#include <QDate>
#include <QDir>
#include <QLineEdit>

namespace reminders {

namespace {

const QString kTip = QStringLiteral("提示");
// Small enough that checking a phone photo decodes little of it.
const QSize kCheckedSize(64, 64);

} // namespace

Housekeeping::Housekeeping(QLineEdit* dateBox, shell::AppContext& context, AffairEditor& editor,
                           QObject* parent)
    : QObject(parent), m_dateBox(dateBox), m_context(context), m_editor(editor)
{
}

Housekeeping::~Housekeeping() = default;

void Housekeeping::clearExpiredAffairs()
{
    m_dateBox->setText(
        m_context.services().clock->today().toString(QStringLiteral("yyyy-MM-dd")).trimmed());
    const QString condition = core::expiredCondition(m_context.services().clock->today());
    const platform::Answer answer = m_context.services().dialogs->message(
        QStringLiteral("确认自动删除过期事务吗?"), QStringLiteral("事务提醒"),
        platform::Buttons::YesNoDefaultNo, platform::Icon::Question);
    if (answer == platform::Answer::Yes) {
        // A copy only when something goes: empty runs would push out real ones.
        if (!store::Recordset(QStringLiteral("select * from mp where ") + condition,
                              m_context.dbConnection())
                 .eof())
            m_context.backupBeforeDeleting(QStringLiteral("clear-expired"));
        m_context.dbConnection().execute(QStringLiteral("delete * from mp where ") + condition);
        m_editor.refresh();
        return;
    }
    // The list shows what Yes would have deleted, to delete one by one.
    m_editor.reopenAffairCursor(QStringLiteral("select * from mp where ") + condition);
    m_editor.refreshAffairList();
}

void Housekeeping::viewStoredDueList()
{
    m_editor.clear();
    m_context.sharedCursor = std::make_unique<store::Recordset>(QStringLiteral("select*  from ma"),
                                                                m_context.dbConnection());
    store::Recordset& ma = *m_context.sharedCursor;
    ma.moveFirst();
    // A book without its ma row has no stored list to show.
    m_editor.setRawAffairText(ma.eof() ? QString() : ma.text(QStringLiteral("zdtxsw")));
}

void Housekeeping::startWithSession()
{
    const QString program = QDir(m_context.appPath()).filePath(QStringLiteral("rmd"));
    const QString error = m_context.services().autostart->enable(program);
    if (error.isEmpty()) {
        m_context.services().dialogs->message(QStringLiteral("加入windows自启动成功！"), kTip);
        return;
    }
    m_context.services().dialogs->message(QStringLiteral("未能加入自启动：") + error, kTip,
                                          platform::Buttons::Ok, platform::Icon::Warning);
}

void Housekeeping::changeBackgroundPicture()
{
    const QString path = m_context.services().dialogs->openFile(
        QStringLiteral("请选择一幅背景图片"),
        QStringLiteral("jpeg(*.jpg)|*.jpg|bmp(*.bmp)|*.bmp|gif(*.gif)|*.gif"), QString());
    // Cancelling keeps the picture the user had.
    if (path.isEmpty()) return;
    // A file that cannot be shown is not stored: the main window would have
    // nothing to show at the next start.
    if (platform::readPicture(path, kCheckedSize).isNull()) {
        m_context.services().dialogs->message(QStringLiteral("无法显示这幅图片：") + path, kTip,
                                              platform::Buttons::Ok, platform::Icon::Warning);
        return;
    }

    store::Recordset tp(QStringLiteral("select * from tp"), m_context.dbConnection());
    if (tp.eof()) tp.addNew();
    tp.collect(QStringLiteral("图片名称"), path);
    tp.update();
    tp.close();

    m_context.showBackgroundPicture(path);
}

void Housekeeping::openHelp()
{
    const QString page = QDir(m_context.resourcePath()).filePath(QStringLiteral("index.htm"));
    const QString error = m_context.services().desktop->open(page);
    if (!error.isEmpty())
        m_context.services().dialogs->message(QStringLiteral("无法打开帮助：") + error, kTip,
                                              platform::Buttons::Ok, platform::Icon::Warning);
}

void Housekeeping::openWindow(const QString& name)
{
    if (!m_context.windows().open(name))
        m_context.services().dialogs->message(QStringLiteral("无法打开窗口：") + name, kTip,
                                              platform::Buttons::Ok, platform::Icon::Warning);
}

} // namespace reminders
