#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace setup {

class SystemProbe;

// One thing a check looked at, and the Debian packages that provide it when
// it is missing (several separated by blanks).
struct Finding {
    bool ok = false;
    QString text;
    QString packages;
};

struct CheckReport {
    QString title;
    QList<Finding> findings;

    bool ok() const;
    QStringList missingPackages() const;
    // What the user reads: each finding, then what to do.
    QString text() const;
};

CheckReport checkDatabaseEngine(SystemProbe& probe, const QString& bookFolder);
CheckReport checkSpeechService(SystemProbe& probe);
CheckReport checkEspeak(SystemProbe& probe);
CheckReport checkFlite(SystemProbe& probe);
CheckReport checkRuntimeLibraries(SystemProbe& probe);

// The check of box n (1 to 5).
CheckReport runCheck(int n, SystemProbe& probe, const QString& bookFolder);

} // namespace setup
