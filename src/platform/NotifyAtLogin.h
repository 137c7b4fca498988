#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The log-in entry and the daily systemd user timer that run
// `rmd --notify-due`. Lumo writes the files itself; no user manager is
// needed, and a running one reads them at its next start.
class NotifyAtLogin {
public:
    // `configHome` empty: $XDG_CONFIG_HOME, else ~/.config.
    explicit NotifyAtLogin(QString configHome = {});

    // Every file is there.
    bool enabled() const;
    // Writes them for `executablePath`; empty on success, else a Chinese
    // error text and nothing left behind.
    QString enable(const QString& executablePath);
    // Removes them; empty on success, else a Chinese error text.
    QString disable();

    QString autostartPath() const;
    QString servicePath() const;
    QString timerPath() const;
    QString timerLinkPath() const;

    // Exec= and ExecStart= values: the program, quoted as each format asks.
    static QString desktopExec(const QString& program, const QStringList& arguments);
    static QString systemdExec(const QString& program, const QStringList& arguments);

private:
    QString m_configHome;
};

} // namespace platform
