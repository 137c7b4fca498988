#include "shell/TrayPresence.h"

#include "platform/Notifier.h"
#include "platform/Tray.h"
#include "shell/AppContext.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace shell {

namespace {

const QString kStillRunning = QStringLiteral("Lumo 仍在托盘中运行");
const QString kStillRunningBody =
    QStringLiteral("单击托盘中的 Lumo 图标可再打开提醒窗口；要退出，请在图标的菜单中选“退出”。");

} // namespace

TrayPresence::TrayPresence(AppContext& context, QString noticeFlag, std::function<void()> showToday,
                           QObject* parent)
    : QObject(parent), m_context(context), m_noticeFlag(std::move(noticeFlag)),
      m_showToday(std::move(showToday))
{
}

bool TrayPresence::install()
{
    platform::Tray* tray = m_context.services().tray;
    if (!tray || !tray->available()) return false;
    connect(tray, &platform::Tray::openRequested, this, &TrayPresence::showWindows);
    connect(tray, &platform::Tray::todayRequested, this, [this] {
        if (m_showToday) m_showToday();
    });
    connect(tray, &platform::Tray::quitRequested, this, [this] { m_context.exitApplication(0); });
    tray->show(platform::notificationIcon(m_context.appPath()));
    m_context.closeToTray = [this] { hideWindows(); };
    return true;
}

void TrayPresence::hideWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::Popup ||
            window->windowType() == Qt::ToolTip)
            continue;
        m_hidden << window;
        window->hide();
    }
    tellOnce();
}

void TrayPresence::showWindows()
{
    for (const QPointer<QWidget>& window : std::as_const(m_hidden))
        if (window) window->show();
    m_hidden.clear();
    QWidget* reminder = m_context.mainWindow() ? m_context.mainWindow()->reminderWindow() : nullptr;
    if (!reminder) return;
    reminder->show();
    reminder->setWindowState(reminder->windowState() & ~Qt::WindowMinimized);
    reminder->raise();
    reminder->activateWindow();
}

void TrayPresence::tellOnce()
{
    if (QFileInfo::exists(m_noticeFlag)) return;
    platform::Notifier* notifier = m_context.services().notifier;
    if (!notifier || !notifier->notify({kStillRunning,
                                        kStillRunningBody,
                                        platform::notificationIcon(m_context.appPath()),
                                        {},
                                        false}))
        return; // not seen: told the next time
    QDir().mkpath(QFileInfo(m_noticeFlag).absolutePath());
    QFile flag(m_noticeFlag);
    flag.open(QIODevice::WriteOnly);
}

} // namespace shell
