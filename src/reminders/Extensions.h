#pragma once

#include "core/AffairRecord.h"

#include <QObject>
#include <vector>

class QAction;
class QMenu;

namespace shell {
class AppContext;
}

namespace reminders {

class AffairEditor;

// The widgets of the form the extensions work on.
struct ExtensionWidgets {
    QMenu* menuExtensions;
    QAction* actionNotifyAtLogin;
    QAction* actionExportCalendar;
    QAction* actionImportCalendar;
};

// The menu 扩展(&X): commands beyond the window's own menus.
class Extensions : public QObject {
    Q_OBJECT
public:
    Extensions(const ExtensionWidgets& form, shell::AppContext& context, AffairEditor& editor,
               QObject* parent = nullptr);

    // 登录时通知今日要事: writes the log-in entry and the daily timer, or
    // removes them when they are there.
    void toggleNotifyAtLogin();
    // Writes the affairs the list shows to an iCalendar file the user names.
    void exportListedAffairs();
    // Adds the events of an iCalendar file the user chooses, all or none,
    // shows the report and refreshes the list.
    void importCalendarFile();

private:
    void showState();
    std::vector<core::AffairRecord> listedAffairs() const;
    void tell(const QString& text, bool warning) const;

    ExtensionWidgets m_form;
    shell::AppContext& m_context;
    AffairEditor& m_editor;
};

} // namespace reminders
