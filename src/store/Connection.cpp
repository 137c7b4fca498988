#include "Connection.h"

#include "JetSql.h"
#include "Like.h"
#include "Recordset.h"
#include "Statement.h"
#include "StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace store {

namespace {

QString engineText(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

} // namespace

QString engineVersion()
{
    return QString::fromLatin1(sqlite3_libversion());
}

Connection::~Connection()
{
    close();
}

void Connection::open(const QString& path, Access access)
{
    close();
    sqlite3* db = nullptr;
    const QByteArray file = QDir::toNativeSeparators(path).toUtf8();
    const bool readOnly = access == Access::ReadOnly;
    const int rc = sqlite3_open_v2(
        file.constData(), &db,
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, nullptr);
    // Only what went wrong after the file was found says why (busy, an
    // interrupted writer's journal): a missing file stays the engine's word.
    auto fail = [&](const QString& message, int code = 0) {
        sqlite3_close_v2(db);
        throw StoreError(message, code);
    };
    if (rc != SQLITE_OK) fail(engineText(db) + QStringLiteral("：") + path);

    sqlite3_busy_timeout(db, kBusyTimeout);
    if (installLike(db) != SQLITE_OK) fail(engineText(db));

    // SQLite reads a damaged or foreign file lazily; make it speak now.
    char* error = nullptr;
    if (sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, &error) !=
        SQLITE_OK) {
        const QString text = error ? QString::fromUtf8(error) : engineText(db);
        sqlite3_free(error);
        fail(text + QStringLiteral("：") + path, sqlite3_extended_errcode(db));
    }
    if (readOnly) {
        // Even a writable file is left as it was.
        if (sqlite3_exec(db, "pragma query_only = 1", nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(engineText(db));
        m_db = db;
        m_path = path;
        return;
    }
    // A write-protected file opens read-only without complaint.
    if (sqlite3_db_readonly(db, "main") == 1)
        fail(QStringLiteral("数据库文件 %1 是只读的，无法写入：%2")
                 .arg(QFileInfo(path).fileName(), path));
    // Every change writes a journal beside the file: a folder that cannot
    // take one would fail the first change instead.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isWritable())
        fail(QStringLiteral("数据库文件 %1 所在的文件夹是只读的，无法写入：%2")
                 .arg(QFileInfo(path).fileName(), folder));
    m_db = db;
    m_path = path;
}

void Connection::openInMemory(const QString& script)
{
    close();
    sqlite3* db = nullptr;
    auto fail = [&db](const QString& message) {
        sqlite3_close_v2(db);
        throw StoreError(message);
    };
    if (sqlite3_open_v2(":memory:", &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK ||
        installLike(db) != SQLITE_OK)
        fail(engineText(db));
    char* error = nullptr;
    if (sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = error ? QString::fromUtf8(error) : engineText(db);
        sqlite3_free(error);
        fail(text);
    }
    m_db = db;
    m_path = QStringLiteral(":memory:");
}

void Connection::close()
{
    // Ending the program from inside a command keeps what it stored.
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "commit", nullptr, nullptr, nullptr);
    for (Command& command : m_commands) {
        for (Recordset* recordset : command.watched)
            recordset->m_checkpoints.clear();
        command = Command();
    }
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_path.clear();
}

void Connection::setBusyTimeout(int milliseconds)
{
    if (m_db) sqlite3_busy_timeout(m_db, milliseconds);
}

bool Connection::beginReading()
{
    if (!m_db || !sqlite3_get_autocommit(m_db)) return false;
    // The read lock is taken by the first read, so read at once.
    if (sqlite3_exec(m_db, "begin; select count(*) from sqlite_master", nullptr, nullptr,
                     nullptr) != SQLITE_OK) {
        const StoreError error(QString::fromUtf8(sqlite3_errmsg(m_db)),
                               sqlite3_extended_errcode(m_db));
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
        throw error;
    }
    return true;
}

void Connection::endReading()
{
    // Ending a transaction that only read loses nothing, whatever the answer.
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "commit", nullptr, nullptr, nullptr);
}

int Connection::execute(const QString& sql)
{
    if (!m_db) throw StoreError(QStringLiteral("数据库连接没有打开"));
    aboutToChange();
    detail::Statement statement(m_db, translateJetSql(sql));
    while (statement.step()) {
    }
    return sqlite3_changes(m_db);
}

} // namespace store
