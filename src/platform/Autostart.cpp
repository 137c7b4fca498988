#include "platform/Autostart.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

namespace {

QString configHome()
{
    // The base directory specification ignores relative values.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// One argument of an Exec line, quoted so that blanks, quotes and '$' in the
// path reach the program unchanged.
QString execArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The escapes every string value of a desktop entry goes through.
QString escapeValue(const QString& value)
{
    QString out;
    for (const QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

} // namespace

QString XdgAutostart::enable(const QString& executablePath)
{
    const QString folder = configHome() + QStringLiteral("/autostart");
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return QStringLiteral("无法建立自动启动文件夹：") + folder;

    const QString program = QFileInfo(executablePath).absoluteFilePath();
    // GLib refuses an Exec line whose path holds "%", escaped as "%%" or not:
    // such an entry would never start anything.
    if (program.contains(u'%'))
        return QStringLiteral("程序所在的路径含有“%”，桌面无法据此自动启动它：") + program;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Lumo\n"
                                         "Icon=lumo\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(escapeValue(execArgument(program)));

    const QString path = folder + QStringLiteral("/Lumo.desktop");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entry.toUtf8()) < 0 || !file.commit())
        return QStringLiteral("无法写入自动启动文件：") + path;
    return {};
}

} // namespace platform
