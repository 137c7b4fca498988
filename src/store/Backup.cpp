#include "Backup.h"

#include "Connection.h"
#include "StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace store {

namespace {

const QString kDailyPrefix = QStringLiteral("daily-");
const QString kDeletionPrefix = QStringLiteral("before-");
constexpr qsizetype kStampEnd = 25; // the prefix and yyyyMMdd-HHmmsszzz

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString engineText(sqlite3* db, int rc)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

// The whole copy in one step; a writer holding the book makes it wait.
int copyPages(sqlite3* source, sqlite3* target)
{
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup) return sqlite3_errcode(target);
    int rc = SQLITE_OK;
    for (int tries = 0; tries < 100; ++tries) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
        sqlite3_sleep(50);
    }
    const int finish = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? finish : rc;
}

QStringList copies(const QString& backups, const QString& prefix)
{
    return QDir(backups).entryList({prefix + QStringLiteral("*.mdb")}, QDir::Files, QDir::Name);
}

void prune(const QString& backups, const QString& prefix, int kept)
{
    const QStringList names = copies(backups, prefix);
    for (qsizetype i = 0; i + kept < names.size(); ++i)
        QFile::remove(QDir(backups).filePath(names[i]));
}

void makeFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("无法创建备份文件夹 %1").arg(native(folder)));
}

struct Table {
    const char* name;
    QStringList columns;
};

// The columns every Lumo book has had; later versions may append more.
const Table kTables[] = {
    {"ma", {"mm", "zdtxsw"}},
    {"mp",
     {"要事", "要事关键字", "时间点", "起始时间", "结束时间", "联系人", "联系地点", "家庭住址",
      "联系人手机", "联系人电话", "每月时间", "每周时间", "每日时间", "每月每日时间"}},
    {"tp", {"图片名称"}},
    {"bjyy", {"闹钟音乐", "背景音乐", "外部"}},
    {"foxcjdc", {"超级单词", "关键字", "中文", "英文", "图片名称"}},
    {"qqzx", {"外部", "说明", "分类", "关键字"}},
    {"wblb", {"外部", "说明", "分类", "关键字"}},
};

QStringList column(sqlite3* db, const QByteArray& sql, int index)
{
    QStringList values;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw StoreError(engineText(db, 0));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        values << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, index)));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) throw StoreError(engineText(db, rc));
    return values;
}

} // namespace

void backupDatabase(sqlite3* source, const QString& target)
{
    const auto fail = [&](const QString& why) {
        throw StoreError(QStringLiteral("无法把数据库备份到 %1：%2").arg(native(target), why));
    };
    QTemporaryFile staging(target + QStringLiteral(".XXXXXX.part"));
    if (!staging.open()) fail(staging.errorString());
    sqlite3* copy = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(staging.fileName()).constData(), &copy,
                             SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) rc = copyPages(source, copy);
    const QString why = rc == SQLITE_OK ? QString() : engineText(copy, rc);
    sqlite3_close_v2(copy);
    if (rc != SQLITE_OK) fail(why);
    // rename(2) replaces an older copy of that name in one step.
    if (std::rename(QFile::encodeName(staging.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    staging.setAutoRemove(false);
}

void backupBook(const QString& book, const QString& target)
{
    Connection connection;
    try {
        connection.open(book, Connection::Access::ReadOnly);
    } catch (const StoreError& e) {
        throw StoreError(
            QStringLiteral("无法把数据库备份到 %1：%2").arg(native(target), e.message()));
    }
    backupDatabase(connection.handle(), target);
}

QString dailyBackup(const QString& book, const QString& backups, QDate today)
{
    const QString target = QDir(backups).filePath(
        kDailyPrefix + today.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".mdb"));
    if (QFileInfo::exists(target)) return {};
    makeFolder(backups);
    backupBook(book, target);
    prune(backups, kDailyPrefix, kDailyBackupsKept);
    return target;
}

QString backupBeforeDeleting(Connection& book, const QString& backups, const QString& reason,
                             const QDateTime& now)
{
    makeFolder(backups);
    // The name sorts by time and after every older copy, so pruning never
    // takes the newest, even when the clock was set back.
    const QStringList older = copies(backups, kDeletionPrefix);
    const QString newest = older.isEmpty() ? QString() : older.last();
    QDateTime stamp = now;
    QString name;
    do {
        name = kDeletionPrefix + stamp.toString(QStringLiteral("yyyyMMdd-HHmmsszzz-")) + reason +
               QStringLiteral(".mdb");
        stamp = stamp.addMSecs(1);
    } while (name.left(kStampEnd) <= newest.left(kStampEnd));
    const QString target = QDir(backups).filePath(name);
    backupDatabase(book.handle(), target);
    prune(backups, kDeletionPrefix, kDeletionBackupsKept);
    return target;
}

QString lumoBookProblem(const QString& path)
{
    if (!QFileInfo(path).isFile()) return QStringLiteral("%1 不存在或不是文件。").arg(native(path));
    Connection connection;
    try {
        connection.open(path, Connection::Access::ReadOnly);
        sqlite3* db = connection.handle();
        const QStringList check = column(db, "pragma quick_check", 0);
        if (check != QStringList{QStringLiteral("ok")})
            return QStringLiteral("%1 已损坏：%2").arg(native(path), check.join(QLatin1Char(' ')));
        for (const Table& table : kTables) {
            const QStringList present =
                column(db, QByteArray("pragma table_info(\"") + table.name + "\")", 1);
            if (present.isEmpty())
                return QStringLiteral("%1 不是 Lumo 的数据库：缺少表 %2。")
                    .arg(native(path), QLatin1String(table.name));
            for (const QString& name : table.columns)
                if (!present.contains(name))
                    return QStringLiteral("%1 不是 Lumo 的数据库：表 %2 缺少列 %3。")
                        .arg(native(path), QLatin1String(table.name), name);
        }
    } catch (const StoreError& e) {
        return QStringLiteral("%1 不是可以读取的 Lumo 数据库：%2").arg(native(path), e.message());
    }
    return {};
}

QString restoreBook(const QString& source, const QString& book, const QString& backups,
                    const QDateTime& now)
{
    if (const QString problem = lumoBookProblem(source); !problem.isEmpty())
        throw StoreError(QStringLiteral("没有恢复：") + problem);
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(book).canonicalFilePath())
        throw StoreError(QStringLiteral("没有恢复：%1 就是正在使用的数据库。").arg(native(book)));

    Connection from;
    from.open(source, Connection::Access::ReadOnly);
    if (!QFileInfo::exists(book)) {
        // A lost book: its journal, if any, belongs to nothing any more.
        QFile::remove(book + QStringLiteral("-journal"));
        backupDatabase(from.handle(), book);
        return {};
    }
    Connection current;
    current.open(book);
    const QString kept = backupBeforeDeleting(current, backups, QStringLiteral("restore"), now);
    // Into the open book, so SQLite replaces it as one transaction.
    const int rc = copyPages(from.handle(), current.handle());
    if (rc != SQLITE_OK)
        throw StoreError(QStringLiteral("恢复 %1 失败，数据库没有改变：%2")
                             .arg(native(book), engineText(current.handle(), rc)));
    return kept;
}

QString backupFailedText(const QString& error)
{
    return QStringLiteral("数据库没有备份成功：%1\n这不影响接下来的操作。").arg(error);
}

QStringList dailyBackups(const QString& backups)
{
    return copies(backups, kDailyPrefix);
}

QStringList deletionBackups(const QString& backups)
{
    return copies(backups, kDeletionPrefix);
}

} // namespace store
