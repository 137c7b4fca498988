#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace shell {
class AppContext;
}

namespace reminders {

// The widgets of the form the extensions work on.
struct ExtensionWidgets {
    QMenu* menuExtensions;
    QAction* actionNotifyAtLogin;
};

// The menu 扩展(&X): commands beyond the window's own menus.
class Extensions : public QObject {
    Q_OBJECT
public:
    Extensions(const ExtensionWidgets& form, shell::AppContext& context, QObject* parent = nullptr);

    // 登录时通知今日要事: writes the log-in entry and the daily timer, or
    // removes them when they are there.
    void toggleNotifyAtLogin();

private:
    void showState();

    ExtensionWidgets m_form;
    shell::AppContext& m_context;
};

} // namespace reminders
