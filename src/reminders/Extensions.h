#pragma once

#include <QObject>

namespace shell {
class AppContext;
}

namespace reminders {

namespace Ui {
class ReminderWindow;
}

// The menu 扩展(&X): commands beyond the window's own menus.
class Extensions : public QObject {
    Q_OBJECT
public:
    Extensions(Ui::ReminderWindow& ui, shell::AppContext& context, QObject* parent = nullptr);

    // 登录时通知今日要事: writes the log-in entry and the daily timer, or
    // removes them when they are there.
    void toggleNotifyAtLogin();

private:
    void showState();

    Ui::ReminderWindow& m_ui;
    shell::AppContext& m_context;
};

} // namespace reminders
