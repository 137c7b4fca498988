#pragma once

#include <QDate>
#include <QString>
#include <functional>

class QIODevice;

namespace platform {
class Notifier;
}

namespace notify {

// One run of `rmd --notify-due`.
struct NotifyDueRun {
    QString databasePath;
    QDate day;
    bool oncePerDay = true; // today's list: the day stamp lets one run through
    QString icon;
    std::function<bool()> startOrganiser;
    int waitMs = 10 * 60 * 1000; // how long the action stays answerable
};

// Sends the day's list as one notification and waits for its action or its
// close. Without a service the list goes to `out` and a note to `err`.
// Returns the exit code: 0, or 2 when the book cannot be read.
int notifyDue(const NotifyDueRun& run, platform::Notifier& notifier, QIODevice& out,
              QIODevice& err);

} // namespace notify
