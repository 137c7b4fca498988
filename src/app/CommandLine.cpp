#include "app/CommandLine.h"

#include "app/InstanceKey.h"
#include "core/DueList.h"
#include "core/IcsExport.h"
#include "core/IcsImport.h"
#include "lunar/LunarWords.h"
#include "notify/NotifyDue.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "store/Backup.h"
#include "store/BookFolders.h"
#include "store/Connection.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>

namespace app {

namespace {

constexpr int kUsageError = 2;
constexpr int kRefused = 1;
constexpr int kOutputError = 1;

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

Command failure(const QString& message)
{
    Command command;
    command.kind = Command::Kind::Error;
    command.error = message;
    return command;
}

// Encodes piece by piece: a due list of a large book would otherwise need
// a second, fresh buffer of its full size. False when the device refused
// some of the text (a full disk, a closed standard output).
bool writeText(QIODevice& device, const QString& text)
{
    constexpr qsizetype piece = 16 * 1024;
    QStringView rest(text);
    bool written = true;
    while (!rest.isEmpty() && written) {
        qsizetype size = std::min(piece, rest.size());
        if (size < rest.size() && rest.at(size - 1).isHighSurrogate())
            --size; // keeps a surrogate pair together
        const QByteArray bytes = rest.first(size).toUtf8();
        written = device.write(bytes) == bytes.size();
        rest = rest.sliced(size);
    }
    if (auto* file = qobject_cast<QFileDevice*>(&device)) written = file->flush() && written;
    return written;
}

// A writer killed in the middle of a change leaves its journal beside the
// book, which only a writable open rolls back: done once, when it may.
QString readDueList(const QString& database, const QDate& today)
{
    store::Connection connection;
    try {
        connection.open(database, store::Connection::Access::ReadOnly);
    } catch (const store::StoreError& error) {
        if (error.fault() != store::Fault::ReadOnly) throw;
        try {
            store::Connection writable;
            writable.open(database);
        } catch (const store::StoreError&) {
            throw store::StoreError(
                QStringLiteral("上次写入这个数据库的程序没有写完就中断了，留下了日志文件 %1。"
                               "要恢复，数据库必须能写入一次：请取消它的写保护后再运行，"
                               "或者启动 Lumo 一次。")
                    .arg(QDir::toNativeSeparators(database + QStringLiteral("-journal"))));
        }
        connection.open(database, store::Connection::Access::ReadOnly);
    }
    return core::evaluateDueList(connection, today);
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

int backup(const QString& file, const store::BookPlace& place, QIODevice& out, QIODevice& err)
{
    const QString book = place.folders.book();
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(book).canonicalFilePath()) {
        writeText(err,
                  QStringLiteral("rmd：%1 就是数据库本身，请换一个文件名。\n").arg(native(file)));
        return kRefused;
    }
    try {
        store::backupBook(book, file);
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(error.message()));
        return kRefused;
    }
    writeText(out, QStringLiteral("已把数据库 %1 备份到 %2。\n").arg(native(book), native(file)));
    return 0;
}

int restore(const QString& file, const store::BookPlace& place, const platform::Clock& clock,
            QIODevice& out, QIODevice& err)
{
    if (!place.problem.isEmpty() && !place.lost) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(place.problem));
        return kRefused;
    }
    const QString book = place.folders.book();
    // Held for the whole restore, so no organiser opens the book meanwhile.
    // (Without a private folder no organiser can hold one either.)
    const QString lockPath = instanceLockPath(instanceKey(book));
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);
    if (!lockPath.isEmpty() && !lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
        writeText(err,
                  QStringLiteral("rmd：Lumo 正在使用数据库 %1，没有恢复。请先退出 Lumo，再恢复。\n")
                      .arg(native(book)));
        return kRefused;
    }
    QString kept;
    try {
        kept = store::restoreBook(file, book, place.folders.backups(), clock.now());
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(error.message()));
        return kRefused;
    }
    QString done = QStringLiteral("已用 %1 恢复数据库 %2。\n").arg(native(file), native(book));
    if (!kept.isEmpty()) done += QStringLiteral("原来的数据库保存在 %1。\n").arg(native(kept));
    writeText(out, done);
    return 0;
}

int exportIcs(const Command& command, const QString& book, const platform::Clock& clock,
              QIODevice& out, QIODevice& err)
{
    std::vector<core::AffairRecord> records;
    try {
        store::Connection connection;
        connection.open(book, store::Connection::Access::ReadOnly);
        records = core::readAffairs(connection);
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：无法读取数据库 %1：%2\n")
                           .arg(QDir::toNativeSeparators(book), error.message()));
        return kUsageError;
    }
    // Written whole or not at all: a full disk leaves no half calendar behind.
    QSaveFile file(command.file);
    core::IcsExport result;
    if (file.open(QIODevice::WriteOnly))
        result = core::exportCalendar(records, clock, file, command.lunarRule);
    if (!file.isOpen() || !result.written || !file.commit()) {
        writeText(err, QStringLiteral("rmd：%1\n")
                           .arg(core::cannotWriteText(command.file, file.errorString())));
        return kRefused;
    }
    writeText(out, core::exportedText(result, command.file) + u'\n');
    return 0;
}

int importIcs(const QString& path, const QString& book, QIODevice& out, QIODevice& err)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        writeText(err,
                  QStringLiteral("rmd：%1\n").arg(core::cannotOpenText(path, file.errorString())));
        return kRefused;
    }
    core::ImportReport report;
    try {
        store::Connection connection;
        connection.open(book);
        report = core::importCalendar(connection, file.readAll());
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：导入失败，数据库 %1 没有任何改动：%2\n")
                           .arg(QDir::toNativeSeparators(book), error.message()));
        return kUsageError;
    }
    if (!report.refusal.isEmpty()) {
        writeText(err, QStringLiteral("rmd：%1 %2\n").arg(native(path), report.summary()));
        return kRefused;
    }
    writeText(out, report.summary() + u'\n');
    for (const QString& line : report.firstReasons() + report.firstExpansions())
        writeText(err, line + u'\n');
    // The full list beside the book, where the user finds it again.
    const QString saved = report.saveBeside(book);
    if (!saved.isEmpty())
        writeText(out, core::reportSavedText(saved) + u'\n');
    else
        writeText(err, QStringLiteral("rmd：无法写入报告 %1。\n")
                           .arg(native(QFileInfo(book).dir().filePath(core::kReportFileName))));
    return 0;
}

// "2025-闰6-1" or "2027-8-8": a lunar year, month and day.
std::optional<lunar::LunarDate> parseLunarDay(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(闰?)(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    const lunar::LunarDate day{match.captured(1).toInt(), match.captured(3).toInt(),
                               !match.captured(2).isEmpty(), match.captured(4).toInt()};
    if (!lunar::toSolar(day).isValid()) return std::nullopt;
    return day;
}

// rmd --lunar YYYY-MM-DD and rmd --solar YYYY-[闰]M-D, each alone.
Command parseConversion(const QStringList& own)
{
    const QString option = own.first().section(u'=', 0, 0);
    QString value;
    if (own.first().contains(u'=') && own.size() == 1)
        value = own.first().section(u'=', 1);
    else if (!own.first().contains(u'=') && own.size() == 2)
        value = own[1];
    else
        return failure(
            QStringLiteral("%1 后面应恰好跟一个日期，且不能与其他参数一起使用。").arg(option));
    Command command;
    if (option == QStringLiteral("--lunar")) {
        command.kind = Command::Kind::Lunar;
        command.date = parseDay(value);
        if (!command.date || !lunar::inRange(*command.date))
            return failure(QStringLiteral("日期“%1”无效：应是 1901-01-01 到 2100-12-31 之间 "
                                          "YYYY-MM-DD 形式的真实公历日期，例如 2027-09-08。")
                               .arg(value));
        return command;
    }
    command.kind = Command::Kind::Solar;
    const std::optional<lunar::LunarDate> day = parseLunarDay(value);
    if (!day)
        return failure(QStringLiteral("农历日期“%1”无效：应写成 年-月-日，闰月在月份前加“闰”，"
                                      "例如 2027-8-8、2025-闰6-1，且在 1901 到 2100 年之间实有"
                                      "这一天。")
                           .arg(value));
    command.lunarDate = *day;
    return command;
}

bool isConversion(const QString& argument)
{
    const QString option = argument.section(u'=', 0, 0);
    return option == QStringLiteral("--lunar") || option == QStringLiteral("--solar");
}

} // namespace

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

QString helpText()
{
    QString windows;
    for (const WindowOption& option : kWindowOptions)
        windows += QStringLiteral("                     %1  %2\n")
                       .arg(QLatin1String(option.name), QString::fromUtf8(option.caption));
    return QStringLiteral(
               "用法：rmd [--due [--date YYYY-MM-DD]]\n"
               "      rmd --notify-due [--date YYYY-MM-DD]\n"
               "      rmd --window NAME\n"
               "      rmd --lunar YYYY-MM-DD | rmd --solar YYYY-M-D\n"
               "      rmd --backup 文件 | --restore 文件\n"
               "      rmd --export-ics 文件 [--rscale] | --import-ics 文件\n"
               "      rmd --help\n"
               "安装后的命令是 lumo（参数相同）；设置程序是 lumo-setup。\n"
               "\n"
               "不带参数时启动事务提醒程序。\n"
               "\n"
               "  --window NAME      登录后除提醒窗口外，另外打开窗口 NAME：\n"
               "%1"
               "  --due              把今天到期的重要事务写到标准输出（UTF-8），内容与提醒窗口\n"
               "                     打开时列出的完全相同，每条事务后跟换行、回车、换行、回车；\n"
               "                     没有到期事务时什么也不输出。数据库不作任何修改。\n"
               "  --notify-due       把今天到期的要事作为一条桌面通知发出（不用密码）：标题\n"
               "                     “今日要事 N 件”，每件一行（至多 10 行），带“打开 Lumo”按钮；\n"
               "                     程序等到通知关闭，最多 10 分钟。同一天只通知一次（记在数据库\n"
               "                     旁的 rmd.notified 中；给出 --date 时不受此限）。没有到期事务\n"
               "                     时什么也不发；没有通知服务时把要事写到标准输出。\n"
               "                     菜单“扩展”→“登录时通知今日要事”让它在登录时和每天 08:00\n"
               "                     运行。\n"
               "  --date YYYY-MM-DD  与 --due 或 --notify-due "
               "一起使用：按这一天计算，而不是今天。\n"
               "  --lunar YYYY-MM-DD 打印这一公历日期的农历日期，一行，例如 丁未年八月初八\n"
               "                     （年用干支，闰月在月名前加“闰”）。\n"
               "  --solar YYYY-M-D   打印这一农历日期的公历日期，一行，例如 --solar 2027-8-8\n"
               "                     打印 2027-09-08；闰月写成 2025-闰6-1。两者都只认\n"
               "                     1901 年到 2100 年。\n"
               "  --backup 文件      把数据库完整地复制到这个文件（Lumo 运行时也可以）。\n"
               "  --restore 文件     先检查这个文件是 Lumo 的数据库，再用它替换现在的数据库；\n"
               "                     被替换的数据库留在 backups/ 中。Lumo 运行时不能恢复。\n"
               "  --export-ics 文件  把全部重要事务导出为 iCalendar "
               "日历文件（.ics），手机和其他日历\n"
               "                     程序可以读入；农历提醒导出为今后 20 年里每一天的单独事件。\n"
               "  --rscale           与 --export-ics 一起使用：农历提醒改写成农历重复规则\n"
               "                     （RSCALE=CHINESE），只有支持它的日历程序能读。\n"
               "  --import-ics 文件  把 iCalendar 日历文件中的事件导入为重要事务，全部成功或全部\n"
               "                     不导入；导入过的事件不会再导入。无法准确表示的事件被跳过，\n"
               "                     前 20 个原因写到标准错误，完整报告写在数据库旁的\n"
               "                     日历导入报告.txt 中。\n"
               "  -h, --help         显示本说明。\n"
               "\n"
               "数据库在哪里：程序所在文件夹中有 rmd.mdb 时（例如 build/app/），就用它；\n"
               "否则（安装后）用 $XDG_DATA_HOME/lumo/rmd.mdb，即 ~/.local/share/lumo/rmd.mdb，\n"
               "第一次运行时从安装的初始数据库建立。wbwj/ 和 backups/ 在数据库旁边。\n"
               "每天第一次启动时以及“全部删除”“清除过期”删除之前，自动备份到 backups/，\n"
               "保留最近 14 份每日备份和最近 10 份删除前的备份。\n"
               "把旧的 build/app/ 中的数据库搬过来：lumo --restore build/app/rmd.mdb\n"
               "环境变量 LUMO_TODAY=YYYY-MM-DD 把这次运行的“今天”固定为那一天（演示、录制用）。\n"
               "退出码：0 成功；1 备份、恢复、导出或导入没有完成，或无法写到标准输出；2 "
               "参数有误或数据库无法打开。\n"
               "\n"
               "Usage: rmd [--due [--date YYYY-MM-DD]] | rmd --notify-due [--date YYYY-MM-DD] |\n"
               "       rmd --window NAME | rmd --lunar DAY |\n"
               "       rmd --solar DAY | rmd --backup FILE | rmd --restore FILE | rmd --help\n"
               "(installed: lumo, with the same options)\n"
               "Without arguments the organiser starts. --due prints the affairs due today (or on\n"
               "the --date given) exactly as the reminder window lists them, as UTF-8, each\n"
               "followed by LF CR LF CR, and changes nothing. --notify-due sends them as one\n"
               "desktop notification (once a day unless --date is given; printed when there is\n"
               "no notification service). --window NAME also opens that\n"
               "window after the login. --backup writes a consistent copy of the book;\n"
               "--restore checks a copy and replaces the book with it, keeping the old one.\n"
               "--export-ics FILE writes the affairs as an iCalendar file (--rscale: lunar\n"
               "schedules as Chinese-calendar rules); --import-ics FILE adds a calendar's events\n"
               "as affairs, all or nothing, skipping events imported before.\n"
               "--lunar YYYY-MM-DD prints that day's lunar date; --solar YYYY-M-D (a leap\n"
               "month as YYYY-闰M-D) prints the solar date of a lunar one; 1901 to 2100.\n"
               "The book is rmd.mdb in the program's folder when it is there, otherwise\n"
               "$XDG_DATA_HOME/lumo/rmd.mdb (~/.local/share/lumo/rmd.mdb).\n"
               "Exit status: 0 done, 1 backup, restore, export or import not done, or\n"
               "standard output not writable, 2 wrong arguments or "
               "database not readable.\n")
        .arg(windows);
}

int runCommand(const Command& command, const QString& appFolder, const platform::Clock& clock,
               QIODevice& out, QIODevice& err, const QProcessEnvironment& environment,
               const NotifyServices& notify)
{
    switch (command.kind) {
    case Command::Kind::Start:
        return 0;
    case Command::Kind::Help:
        return writeText(out, helpText()) ? 0 : kOutputError;
    case Command::Kind::Error:
        writeText(err, QStringLiteral("rmd：%1\n用 rmd --help 查看用法。\n").arg(command.error));
        return kUsageError;
    case Command::Kind::Lunar:
        return writeText(out, lunar::dateText(*lunar::toLunar(*command.date)) + u'\n')
                   ? 0
                   : kOutputError;
    case Command::Kind::Solar:
        return writeText(out, lunar::toSolar(command.lunarDate).toString(Qt::ISODate) + u'\n')
                   ? 0
                   : kOutputError;
    case Command::Kind::Due:
    case Command::Kind::NotifyDue:
    case Command::Kind::Backup:
    case Command::Kind::Restore:
    case Command::Kind::ExportIcs:
    case Command::Kind::ImportIcs:
        break;
    }

    const store::BookPlace place = store::locateBook(appFolder, environment);
    if (command.kind == Command::Kind::Restore)
        return restore(command.file, place, clock, out, err);
    if (!place.problem.isEmpty()) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(place.problem));
        return command.kind == Command::Kind::Due || command.kind == Command::Kind::NotifyDue
                   ? kUsageError
                   : kRefused;
    }
    if (command.kind == Command::Kind::Backup) return backup(command.file, place, out, err);
    if (command.kind == Command::Kind::NotifyDue) {
        notify::NotifyDueRun run;
        run.databasePath = place.folders.book();
        run.day = command.date.value_or(clock.today());
        // Another day's list is asked for by hand: always shown.
        run.oncePerDay = !command.date;
        run.icon = platform::notificationIcon(appFolder);
        run.startOrganiser = notify.startOrganiser;
        run.waitMs = notify.waitMs;
        platform::DBusNotifier none(QDBusConnection(QStringLiteral("lumo-no-bus")));
        return notify::notifyDue(run, notify.notifier ? *notify.notifier : none, out, err);
    }
    if (command.kind == Command::Kind::ExportIcs)
        return exportIcs(command, place.folders.book(), clock, out, err);
    if (command.kind == Command::Kind::ImportIcs)
        return importIcs(command.file, place.folders.book(), out, err);

    const QDate today = command.date.value_or(clock.today());
    const QString database = place.folders.book();
    QString list;
    try {
        list = readDueList(database, today);
    } catch (const store::StoreError& error) {
        const QString what = error.fault() == store::Fault::Fatal
                                 ? error.message()
                                 : store::faultText(error.fault(), database);
        writeText(err, QStringLiteral("rmd：无法读取数据库 %1：%2\n")
                           .arg(QDir::toNativeSeparators(database), what));
        return kUsageError;
    }
    if (writeText(out, list)) return 0;
    writeText(err, QStringLiteral("rmd：无法把到期事务写到标准输出：%1\n")
                       .arg(out.errorString().isEmpty() ? QStringLiteral("写入失败")
                                                        : out.errorString()));
    return kOutputError;
}

std::optional<int> runCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Command command = parseCommandLine(arguments);
    if (command.kind == Command::Kind::Start) return std::nullopt;

    QString appFolder;
    std::optional<QCoreApplication> core;
    if (command.kind != Command::Kind::Help && command.kind != Command::Kind::Error) {
        core.emplace(argc, argv);
        appFolder = QCoreApplication::applicationDirPath();
    }
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    const std::unique_ptr<platform::Clock> clock = platform::clockFromEnvironment();
    std::optional<platform::DBusNotifier> notifier;
    NotifyServices notify;
    if (command.kind == Command::Kind::NotifyDue) {
        notifier.emplace(QDBusConnection::sessionBus());
        notify.notifier = &*notifier;
        notify.startOrganiser = [] {
            // The organiser asks for the password as at every start.
            return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
        };
    }
    return runCommand(command, appFolder, *clock, out, err,
                      QProcessEnvironment::systemEnvironment(), notify);
}

} // namespace app
