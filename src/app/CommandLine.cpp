#include "app/CommandLine.h"

#include "app/CommandParts.h"

#include <QRegularExpression>

namespace app {

namespace {

// Options QGuiApplication and QApplication read themselves, in their
// single-dash form; a double dash works as well.
bool isWindowSystemOption(const QString& argument, bool& takesValue)
{
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("session"),
                                          QStringLiteral("display"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("name"),
                                          QStringLiteral("title"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"),
                                      QStringLiteral("sync")};
    if (!argument.startsWith(u'-')) return false;
    QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
    if (name.startsWith(QStringLiteral("qmljsdebugger="))) {
        takesValue = false;
        return true;
    }
    const qsizetype equals = name.indexOf(u'=');
    if (equals >= 0) {
        takesValue = false;
        return withValue.contains(name.left(equals));
    }
    if (withValue.contains(name)) {
        takesValue = true;
        return true;
    }
    takesValue = false;
    return flags.contains(name);
}

// The window's name as the table spells it, or empty when there is none.
QString knownWindow(const QString& name)
{
    for (const WindowOption& option : kWindowOptions)
        if (name.compare(QLatin1String(option.name), Qt::CaseInsensitive) == 0)
            return QLatin1String(option.name);
    return {};
}

QString windowNames()
{
    QStringList names;
    for (const WindowOption& option : kWindowOptions)
        names << QLatin1String(option.name);
    return names.join(QStringLiteral("、"));
}

} // namespace

namespace detail {

std::optional<QDate> parseDay(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const QDate day(match.captured(1).toInt(), match.captured(2).toInt(),
                    match.captured(3).toInt());
    if (!day.isValid()) return std::nullopt;
    return day;
}

Command failure(const QString& message)
{
    Command command;
    command.kind = Command::Kind::Error;
    command.error = message;
    return command;
}

} // namespace detail

using namespace detail;

Command parseCommandLine(const QStringList& arguments)
{
    QStringList own;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool takesValue = false;
        if (isWindowSystemOption(arguments[i], takesValue)) {
            i += takesValue ? 1 : 0;
            continue;
        }
        own << arguments[i];
    }
    Command command;
    if (own.isEmpty()) return command;
    if (own.contains(QStringLiteral("--help")) || own.contains(QStringLiteral("-h"))) {
        command.kind = Command::Kind::Help;
        return command;
    }
    if (std::any_of(own.cbegin(), own.cend(), isConversion)) {
        if (!isConversion(own.first()))
            return failure(QStringLiteral("--lunar、--solar 不能与其他参数一起使用。"));
        return parseConversion(own);
    }

    // --rscale goes with --export-ics only.
    const bool lunarRule = own.removeAll(QStringLiteral("--rscale")) > 0;
    for (const auto& [option, kind] :
         {std::pair{QStringLiteral("--backup"), Command::Kind::Backup},
          std::pair{QStringLiteral("--restore"), Command::Kind::Restore},
          std::pair{QStringLiteral("--export-ics"), Command::Kind::ExportIcs},
          std::pair{QStringLiteral("--import-ics"), Command::Kind::ImportIcs}}) {
        if (own.isEmpty()) break;
        const QString prefix = option + u'=';
        const qsizetype at = own.indexOf(option);
        const bool joined = own.first().startsWith(prefix);
        if (at < 0 && !joined) continue;
        if (own.size() != (joined ? 1 : 2) || (!joined && at != 0))
            return failure(
                QStringLiteral("%1 后面只能跟一个文件名，不能与其他参数一起使用。").arg(option));
        command.kind = kind;
        command.file = joined ? own.first().mid(prefix.size()) : own[1];
        if (command.file.isEmpty())
            return failure(QStringLiteral("%1 后面缺少文件名。").arg(option));
        if (lunarRule && kind != Command::Kind::ExportIcs)
            return failure(QStringLiteral("--rscale 只能与 --export-ics 一起使用。"));
        command.lunarRule = lunarRule;
        return command;
    }
    if (lunarRule) return failure(QStringLiteral("--rscale 只能与 --export-ics 一起使用。"));

    bool due = false;
    bool notifyDue = false;
    QString window;
    for (qsizetype i = 0; i < own.size(); ++i) {
        const QString& argument = own[i];
        if (argument == QStringLiteral("--due")) {
            due = true;
            continue;
        }
        if (argument == QStringLiteral("--notify-due")) {
            notifyDue = true;
            continue;
        }
        if (argument == QStringLiteral("--window") ||
            argument.startsWith(QStringLiteral("--window="))) {
            QString name;
            if (argument.contains(u'='))
                name = argument.mid(9);
            else if (i + 1 < own.size())
                name = own[++i];
            if (!window.isEmpty()) return failure(QStringLiteral("--window 只能给出一次。"));
            window = knownWindow(name);
            if (window.isEmpty())
                return failure(QStringLiteral("没有名为“%1”的窗口；--window 后面可写：%2。")
                                   .arg(name, windowNames()));
            continue;
        }
        QString value;
        if (argument == QStringLiteral("--date")) {
            if (i + 1 >= own.size())
                return failure(
                    QStringLiteral("--date 后面缺少日期，应写成 YYYY-MM-DD，例如 2026-12-06。"));
            value = own[++i];
        } else if (argument.startsWith(QStringLiteral("--date="))) {
            value = argument.mid(7);
        } else {
            return failure(QStringLiteral("无法识别的参数“%1”。").arg(argument));
        }
        if (command.date) return failure(QStringLiteral("--date 只能给出一次。"));
        command.date = parseDay(value);
        if (!command.date)
            return failure(
                QStringLiteral("日期“%1”无效：应是 YYYY-MM-DD 形式的真实日期，例如 2026-12-06。")
                    .arg(value));
    }
    if (!window.isEmpty()) {
        if (due || notifyDue || command.date)
            return failure(
                QStringLiteral("--window 不能与 --due、--notify-due、--date 一起使用。"));
        command.window = window;
        return command;
    }
    if (due && notifyDue) return failure(QStringLiteral("--due 与 --notify-due 只能选一个。"));
    if (!due && !notifyDue)
        return failure(QStringLiteral("--date 只能与 --due 或 --notify-due 一起使用。"));
    command.kind = notifyDue ? Command::Kind::NotifyDue : Command::Kind::Due;
    return command;
}

} // namespace app
