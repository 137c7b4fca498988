#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace shell {

class AppContext;

// Lumo in the desktop's tray, where there is one: closing the main or the
// reminder window hides every window of Lumo and the program keeps running
// (the first time, a notification says so); the tray's menu brings them
// back, shows today's list or ends the program.
class TrayPresence : public QObject {
    Q_OBJECT
public:
    // `noticeFlag`: a file whose existence says the user has been told once.
    TrayPresence(AppContext& context, QString noticeFlag, std::function<void()> showToday,
                 QObject* parent = nullptr);

    // Shows the icon and takes over closing; false without a tray.
    bool install();
    void hideWindows();
    // Shows what was hidden and brings the reminder window to the front.
    void showWindows();

private:
    void tellOnce();

    AppContext& m_context;
    QString m_noticeFlag;
    std::function<void()> m_showToday;
    QList<QPointer<QWidget>> m_hidden;
};

} // namespace shell
