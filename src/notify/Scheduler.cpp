#include "notify/Scheduler.h"

#include "notify/DayStamp.h"
#include "notify/Digest.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "store/Connection.h"
#include "store/StoreError.h"

#include <QTimer>

namespace notify {

namespace {

// A book that cannot be read now (locked, moved) is read at the next check.
template <typename Read> bool readBook(const QString& path, Read read)
{
    try {
        store::Connection connection;
        connection.open(path, store::Connection::Access::ReadOnly);
        read(connection);
        return true;
    } catch (const store::StoreError&) {
        return false;
    }
}

QString timedKey(const DueAffair& affair)
{
    return QStringLiteral("at %1 %2")
        .arg(affair.time.toString(QStringLiteral("HH:mm:ss")), affairKey(affair.text));
}

} // namespace

Scheduler::Scheduler(const platform::Clock& clock, platform::Notifier& notifier,
                     QString databasePath, QString icon, QObject* parent)
    : QObject(parent), m_clock(clock), m_notifier(notifier),
      m_databasePath(std::move(databasePath)), m_icon(std::move(icon)), m_timer(new QTimer(this))
{
    m_timer->setInterval(kCheckMs);
    connect(m_timer, &QTimer::timeout, this, &Scheduler::check);
    connect(&m_notifier, &platform::Notifier::actionInvoked, this,
            [this](uint id, const QString& key) {
                if (!m_withAction.contains(id)) return;
                if (key == kOpenAction || key == QStringLiteral("default")) emit openRequested();
            });
}

void Scheduler::start()
{
    check();
    m_timer->start();
}

void Scheduler::check()
{
    const QDateTime now = m_clock.now();
    const QDate day = now.date();
    const bool first = !m_day.isValid();
    if (!first && day != m_day) notifyDayList(day);
    m_day = day;
    notifyTimed(day, now.time(), first);
}

void Scheduler::notifyToday()
{
    QList<DueAffair> affairs;
    const QDate day = m_clock.today();
    if (!readBook(m_databasePath, [&](store::Connection& c) { affairs = dueAffairs(c, day); }))
        return;
    platform::Notification n = dayDigest(affairs, m_icon);
    if (affairs.isEmpty()) n.body = QStringLiteral("今天没有到期的要事。");
    send(n);
}

void Scheduler::notifyDayList(const QDate& day)
{
    QList<DueAffair> affairs;
    if (!readBook(m_databasePath, [&](store::Connection& c) { affairs = dueAffairs(c, day); }) ||
        affairs.isEmpty())
        return;
    DayStamp stamp(dayStampPath(m_databasePath));
    if (stamp.claim(day, {kDayListKey}).isEmpty()) return;
    if (send(dayDigest(affairs, m_icon)) == 0) stamp.release(day, {kDayListKey});
}

void Scheduler::notifyTimed(const QDate& day, const QTime& now, bool first)
{
    QList<DueAffair> timed;
    if (!readBook(m_databasePath, [&](store::Connection& c) { timed = timedAffairs(c, day); }))
        return;
    QList<DueAffair> due;
    QStringList keys;
    for (const DueAffair& affair : timed) {
        if (affair.time > now) break; // earliest first
        due << affair;
        keys << timedKey(affair);
    }
    if (due.isEmpty()) return;
    DayStamp stamp(dayStampPath(m_databasePath));
    const QStringList fresh = stamp.claim(day, keys);
    QList<DueAffair> toSend;
    for (const DueAffair& affair : due)
        if (fresh.contains(timedKey(affair))) toSend << affair;
    if (toSend.isEmpty()) return;
    if (first) {
        if (send(missedNotice(toSend, m_icon)) == 0) stamp.release(day, fresh);
        return;
    }
    for (const DueAffair& affair : toSend)
        if (send(timedNotice(affair, m_icon)) == 0) stamp.release(day, {timedKey(affair)});
}

uint Scheduler::send(const platform::Notification& notification)
{
    const uint id = m_notifier.notify(notification);
    if (id != 0 && !notification.actions.isEmpty()) m_withAction.insert(id);
    return id;
}

} // namespace notify
