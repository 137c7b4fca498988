#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace platform {

// An icon in the desktop's tray with the menu 打开提醒窗口 / 今日要事 / 退出.
class Tray : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Whether the desktop offers a tray at all.
    virtual bool available() const = 0;
    virtual void show(const QString& iconPath) = 0;

signals:
    void openRequested(); // a click on the icon or 打开提醒窗口
    void todayRequested();
    void quitRequested();
};

class QtTray : public Tray {
    Q_OBJECT
public:
    using Tray::Tray;
    ~QtTray() override;
    bool available() const override;
    void show(const QString& iconPath) override;

private:
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_menu = nullptr;
};

} // namespace platform
