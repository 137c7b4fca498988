#pragma once

#include <QObject>
#include <QString>

namespace shell {
class AppContext;
}

namespace reminders {

class AffairEditor;
namespace Ui {
class ReminderWindow;
}

// The reminder window's housekeeping commands (clearing expired affairs,
// start with the desktop session, the background picture, the help page,
// opening the other windows) and the menu items that stand for a picture
// button.
class Housekeeping : public QObject {
    Q_OBJECT
public:
    Housekeeping(Ui::ReminderWindow& ui, shell::AppContext& context, AffairEditor& editor,
                 QObject* parent = nullptr);
    ~Housekeeping() override;

    void clearExpiredAffairs();
    // Shows the due list stored at start-up in affairBox.
    void viewStoredDueList();
    void startWithSession();
    void changeBackgroundPicture();
    void openHelp();
    // Opens a window of the launcher table; a missing one is reported.
    void openWindow(const QString& name);

private:
    void connectCommands();

    Ui::ReminderWindow& m_ui;
    shell::AppContext& m_context;
    AffairEditor& m_editor;
};

} // namespace reminders
