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
#include "ui_rmd.h"

#include <QDate>
#include <QDir>

namespace reminders {

namespace {

const QString kTip = QStringLiteral("提示");
// Small enough that checking a phone photo decodes little of it.
const QSize kCheckedSize(64, 64);

} // namespace

Housekeeping::Housekeeping(Ui::ReminderWindow& ui, shell::AppContext& context, AffairEditor& editor,
                           QObject* parent)
    : QObject(parent), m_ui(ui), m_context(context), m_editor(editor)
{
    connectCommands();
}

void Housekeeping::connectCommands()
{
    const struct {
        QAbstractButton* button;
        std::function<void()> run;
    } commands[] = {
        {m_ui.Image4, [this] { clearExpiredAffairs(); }},
        {m_ui.Image7, [this] { viewStoredDueList(); }},
        {m_ui.Image9, [this] { openWindow(QStringLiteral("yzmm")); }},
        {m_ui.Image10, [this] { changeBackgroundPicture(); }},
        {m_ui.Image16, [this] { openWindow(QStringLiteral("yycxlb")); }},
        {m_ui.Image18, [this] { openWindow(QStringLiteral("qqzxcx")); }},
        {m_ui.Image19, [this] { openHelp(); }},
        {m_ui.Image20, [this] { startWithSession(); }},
        {m_ui.dyld, [this] { openWindow(QStringLiteral("IQDW")); }},
    };
    for (const auto& c : commands)
        connect(c.button, &QAbstractButton::clicked, this,
                [this, run = c.run] { m_context.guarded(run); });

    // These items only press their button, whoever runs its command.
    const struct {
        QAction* action;
        QAbstractButton* button;
    } items[] = {
        {m_ui.actionChangePassword, m_ui.Image9}, {m_ui.actionDueView, m_ui.Image7},
        {m_ui.actionPrintSelected, m_ui.Image6},  {m_ui.actionPrintDue, m_ui.Image11},
        {m_ui.actionPrintAll, m_ui.Image12},      {m_ui.actionVocabulary, m_ui.dyld},
        {m_ui.actionMiscBook, m_ui.Image18},      {m_ui.actionProgramBook, m_ui.Image16},
        {m_ui.actionAlarmFile, m_ui.Image3},      {m_ui.actionStartAlarm, m_ui.Image1},
        {m_ui.actionRelax, m_ui.Image15},         {m_ui.actionExternal, m_ui.wbcx},
        {m_ui.actionChangePicture, m_ui.Image10}, {m_ui.actionAutostart, m_ui.Image20},
        {m_ui.actionHelp, m_ui.Image19},
    };
    for (const auto& item : items)
        connect(item.action, &QAction::triggered, item.button, &QAbstractButton::click);
}

Housekeeping::~Housekeeping() = default;

void Housekeeping::clearExpiredAffairs()
{
    m_ui.Text2->setText(
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
