#include "platform/Tray.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace platform {

QtTray::~QtTray()
{
    delete m_icon;
    delete m_menu;
}

bool QtTray::available() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::show(const QString& iconPath)
{
    if (m_icon) return;
    m_menu = new QMenu;
    connect(m_menu->addAction(QStringLiteral("打开提醒窗口")), &QAction::triggered, this,
            &Tray::openRequested);
    connect(m_menu->addAction(QStringLiteral("今日要事")), &QAction::triggered, this,
            &Tray::todayRequested);
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("退出")), &QAction::triggered, this,
            &Tray::quitRequested);
    const QIcon icon = QIcon::fromTheme(QStringLiteral("lumo"), QIcon(iconPath));
    m_icon = new QSystemTrayIcon(icon);
    m_icon->setToolTip(QStringLiteral("Lumo"));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            emit openRequested();
    });
    m_icon->show();
}

} // namespace platform
