#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace shell {
class AppContext;
}

namespace reminders {

class AffairEditor;

// The reminder window's housekeeping commands: clearing expired affairs,
// start with the desktop session, the background picture, the help page,
// opening the other windows.
class Housekeeping : public QObject {
    Q_OBJECT
public:
    // `dateBox` (Text2) shows the day the expired affairs are measured against.
    Housekeeping(QLineEdit* dateBox, shell::AppContext& context, AffairEditor& editor,
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
    QLineEdit* m_dateBox;
    shell::AppContext& m_context;
    AffairEditor& m_editor;
};

} // namespace reminders
