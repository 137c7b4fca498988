#include "app/CommandParts.h"

#include "lunar/LunarCalendar.h"
#include "lunar/LunarWords.h"
#include "notify/NotifyDue.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "store/BookFolders.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace app {

using namespace detail;

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
