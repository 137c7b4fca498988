#pragma once

#include <QDate>
#include <QObject>
#include <QSet>
#include <QString>

class QTimer;

namespace platform {
class Clock;
class Notifier;
struct Notification;
} // namespace platform

namespace notify {

// Notifications while the organiser runs: each affair whose 时间点 holds a
// time of day at that time, the new day's list at midnight. The book is
// read on a connection of its own; the window's cursors are not touched.
class Scheduler : public QObject {
    Q_OBJECT
public:
    Scheduler(const platform::Clock& clock, platform::Notifier& notifier, QString databasePath,
              QString icon, QObject* parent = nullptr);

    // The first check at once: times already past are summed up in one
    // notification. Then a check every kCheckMs.
    void start();
    void check();
    // Today's list because the user asked: sent whatever was sent before.
    void notifyToday();

    static constexpr int kCheckMs = 15000;

signals:
    // The user chose "打开 Lumo" on a notification of ours.
    void openRequested();

private:
    void notifyDayList(const QDate& day);
    void notifyTimed(const QDate& day, const QTime& now, bool first);
    uint send(const platform::Notification& notification);

    const platform::Clock& m_clock;
    platform::Notifier& m_notifier;
    QString m_databasePath;
    QString m_icon;
    QTimer* m_timer;
    QDate m_day; // of the last check; invalid before the first
    QSet<uint> m_withAction;
};

} // namespace notify
