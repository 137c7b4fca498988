#include "platform/NotifyAtLogin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

const QString kUnit = QStringLiteral("lumo-notify");
const QStringList kArguments = {QStringLiteral("--notify-due")};

QString defaultConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString quoted(const QString& argument, const QString& escaped)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (escaped.contains(c)) out += u'\\';
        out += c;
    }
    return out + u'"';
}

bool writeFile(const QString& path, const QString& text)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

} // namespace

NotifyAtLogin::NotifyAtLogin(QString configHome)
    : m_configHome(configHome.isEmpty() ? defaultConfigHome() : std::move(configHome))
{
}

QString NotifyAtLogin::autostartPath() const
{
    return m_configHome + QStringLiteral("/autostart/") + kUnit + QStringLiteral(".desktop");
}

QString NotifyAtLogin::servicePath() const
{
    return m_configHome + QStringLiteral("/systemd/user/") + kUnit + QStringLiteral(".service");
}

QString NotifyAtLogin::timerPath() const
{
    return m_configHome + QStringLiteral("/systemd/user/") + kUnit + QStringLiteral(".timer");
}

QString NotifyAtLogin::timerLinkPath() const
{
    return m_configHome + QStringLiteral("/systemd/user/timers.target.wants/") + kUnit +
           QStringLiteral(".timer");
}

QString NotifyAtLogin::desktopExec(const QString& program, const QStringList& arguments)
{
    // Quoted for the Exec key, then escaped as every string value is.
    QString exec = quoted(program, QStringLiteral("\"`$\\")).replace(u'%', QStringLiteral("%%"));
    for (const QString& argument : arguments)
        exec += u' ' + argument;
    return exec.replace(u'\\', QStringLiteral("\\\\"));
}

QString NotifyAtLogin::systemdExec(const QString& program, const QStringList& arguments)
{
    QString exec = quoted(program, QStringLiteral("\"\\"));
    exec.replace(u'%', QStringLiteral("%%")).replace(u'$', QStringLiteral("$$"));
    for (const QString& argument : arguments)
        exec += u' ' + argument;
    return exec;
}

bool NotifyAtLogin::enabled() const
{
    return QFileInfo::exists(autostartPath()) && QFileInfo::exists(servicePath()) &&
           QFileInfo::exists(timerPath()) && QFileInfo(timerLinkPath()).isSymLink();
}

QString NotifyAtLogin::enable(const QString& executablePath)
{
    const QString program = QFileInfo(executablePath).absoluteFilePath();
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Lumo 今日要事\n"
                                         "Comment=登录时通知今日要事\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "NoDisplay=true\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(desktopExec(program, kArguments));
    const QString service = QStringLiteral("[Unit]\n"
                                           "Description=Lumo: 通知今日要事\n"
                                           "\n"
                                           "[Service]\n"
                                           "Type=exec\n"
                                           "ExecStart=%1\n")
                                .arg(systemdExec(program, kArguments));
    const QString timer = QStringLiteral("[Unit]\n"
                                         "Description=Lumo: 每天 08:00 通知今日要事\n"
                                         "\n"
                                         "[Timer]\n"
                                         "OnCalendar=*-*-* 08:00:00\n"
                                         "Persistent=true\n"
                                         "\n"
                                         "[Install]\n"
                                         "WantedBy=timers.target\n");
    bool written = writeFile(autostartPath(), entry) && writeFile(servicePath(), service) &&
                   writeFile(timerPath(), timer) &&
                   QDir().mkpath(QFileInfo(timerLinkPath()).absolutePath());
    if (written) {
        QFile::remove(timerLinkPath());
        written = QFile::link(timerPath(), timerLinkPath());
    }
    if (written) return {};
    disable();
    return QStringLiteral("无法写入登录时通知的文件：%1")
        .arg(QDir::toNativeSeparators(m_configHome));
}

QString NotifyAtLogin::disable()
{
    QStringList left;
    for (const QString& path : {autostartPath(), timerLinkPath(), timerPath(), servicePath()}) {
        const QFileInfo file(path);
        if ((file.exists() || file.isSymLink()) && !QFile::remove(path)) left << path;
    }
    if (left.isEmpty()) return {};
    return QStringLiteral("无法删除登录时通知的文件：%1")
        .arg(QDir::toNativeSeparators(left.join(QStringLiteral("、"))));
}

} // namespace platform
