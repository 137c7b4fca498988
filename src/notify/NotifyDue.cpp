#include "notify/NotifyDue.h"

#include "core/DueList.h"
#include "notify/DayStamp.h"
#include "notify/Digest.h"
#include "platform/Notifier.h"
#include "store/Connection.h"
#include "store/StoreError.h"

#include <QDir>
#include <QEventLoop>
#include <QIODevice>
#include <QTimer>

namespace notify {

namespace {

constexpr int kUnreadable = 2;

void say(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
}

// Waits for the action or the close of notification `id`, at most `waitMs`.
void awaitAnswer(const NotifyDueRun& run, platform::Notifier& notifier, uint id)
{
    QEventLoop loop;
    QObject::connect(&notifier, &platform::Notifier::actionInvoked, &loop,
                     [&](uint invoked, const QString& key) {
                         if (invoked != id) return;
                         if (key == kOpenAction || key == QStringLiteral("default")) {
                             if (run.startOrganiser) run.startOrganiser();
                             notifier.close(id);
                         }
                         loop.quit();
                     });
    QObject::connect(&notifier, &platform::Notifier::closed, &loop, [&](uint closed) {
        if (closed == id) loop.quit();
    });
    QTimer::singleShot(run.waitMs, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int notifyDue(const NotifyDueRun& run, platform::Notifier& notifier, QIODevice& out, QIODevice& err)
{
    QList<DueAffair> affairs;
    QString list;
    try {
        store::Connection connection;
        connection.open(run.databasePath, store::Connection::Access::ReadOnly);
        affairs = dueAffairs(connection, run.day);
        if (!affairs.isEmpty()) list = core::evaluateDueList(connection, run.day);
    } catch (const store::StoreError& error) {
        say(err, QStringLiteral("rmd：无法读取数据库 %1：%2\n")
                     .arg(QDir::toNativeSeparators(run.databasePath), error.message()));
        return kUnreadable;
    }
    if (affairs.isEmpty()) return 0;

    DayStamp stamp(dayStampPath(run.databasePath));
    if (run.oncePerDay && stamp.claim(run.day, {kDayListKey}).isEmpty()) {
        say(err, QStringLiteral("rmd：今日要事今天已经通知过。\n"));
        return 0;
    }
    const uint id = notifier.notify(dayDigest(affairs, run.icon));
    if (id == 0) {
        if (run.oncePerDay) stamp.release(run.day, {kDayListKey});
        say(out, list);
        say(err, QStringLiteral("rmd：没有桌面通知服务，今日要事写到了标准输出。\n"));
        return 0;
    }
    if (notifier.supportsActions()) awaitAnswer(run, notifier, id);
    return 0;
}

} // namespace notify
