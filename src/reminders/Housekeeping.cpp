#include "reminders/Housekeeping.h"

#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "reminders/AffairEditor.h"
#include "shell/AppContext.h"
#include "shell/MainWindow.h"
#include "store/Recordset.h"

#include <QDate>
#include <QDir>
#include <QImageReader>

namespace reminders {

namespace {

const QString kTip = QStringLiteral("提示");

} // namespace

QString expiredCondition(const QDate& today)
{
    const QString d = today.toString(QStringLiteral("yyyy-MM-dd")).trimmed();
    return QStringLiteral("时间点<#") + d + QStringLiteral("# or 结束时间<#") + d +
           QStringLiteral("#");
}

Housekeeping::Housekeeping(shell::AppContext& context, AffairEditor& editor, QObject* parent)
    : QObject(parent), m_context(context), m_editor(editor)
{
}

Housekeeping::~Housekeeping() = default;

void Housekeeping::clearExpiredAffairs()
{
    const QString condition = expiredCondition(m_context.services().clock->today());
    const platform::Answer answer = m_context.services().dialogs->message(
        QStringLiteral("确认自动删除过期事务吗?"), QStringLiteral("事务提醒"),
        platform::Buttons::YesNo, platform::Icon::Question);
    if (answer == platform::Answer::Yes) {
        m_context.dbConnection().execute(QStringLiteral("delete * from mp where ") + condition);
        m_editor.refresh();
        return;
    }
    // The list shows what Yes would have deleted, to delete one by one.
    m_editor.reopenAffairCursor(QStringLiteral("select * from mp where ") + condition);
    m_editor.refreshAffairList();
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
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        m_context.services().dialogs->message(QStringLiteral("无法显示这幅图片：") + path, kTip,
                                              platform::Buttons::Ok, platform::Icon::Warning);
        return;
    }

    store::Recordset tp(QStringLiteral("select * from tp"), m_context.dbConnection());
    if (tp.eof()) tp.addNew();
    tp.collect(QStringLiteral("图片名称"), path);
    tp.update();
    tp.close();

    shell::MainWindow& main = mainWindow();
    main.setPicture(path);
}

shell::MainWindow& Housekeeping::mainWindow()
{
    if (!m_context.mainWindow) {
        m_createdMain = std::make_unique<shell::MainWindow>(m_context, nullptr);
        m_createdMain->show();
    }
    return *m_context.mainWindow;
}

void Housekeeping::openHelp()
{
    const QString page = QDir(m_context.appPath()).filePath(QStringLiteral("index.htm"));
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
