// A window command as one transaction, and putting record sets back when a
// command is rolled back.
#include "Connection.h"
#include "Recordset.h"
#include "StoreError.h"

#include <algorithm>
#include <sqlite3.h>

namespace store {

Fault faultOf(int resultCode)
{
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Fault::Busy;
    case SQLITE_FULL:
        return Fault::Full;
    case SQLITE_READONLY:
        return Fault::ReadOnly;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return Fault::Io;
    default:
        return Fault::Fatal;
    }
}

QString faultText(Fault fault, const QString& bookPath)
{
    switch (fault) {
    case Fault::Busy:
        return QStringLiteral("数据库文件 %1 正被另一个程序使用，暂时无法读写。请稍后再试一次。")
            .arg(bookPath);
    case Fault::Full:
        return QStringLiteral("磁盘已满，无法写入数据库文件 %1。请腾出磁盘空间后再试。")
            .arg(bookPath);
    case Fault::ReadOnly:
        return QStringLiteral("数据库文件 %1 或它所在的文件夹是写保护的（只读），无法写入。"
                              "请取消写保护后再试。")
            .arg(bookPath);
    case Fault::Io:
        return QStringLiteral(
                   "读写数据库文件 %1 时出错，磁盘或文件无法访问。请检查磁盘和文件后再试。")
            .arg(bookPath);
    case Fault::Fatal:
        break;
    }
    return QString();
}

namespace {

void run(sqlite3* db, const QByteArray& sql)
{
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_extended_errcode(db));
}

QByteArray savepointName(int depth)
{
    return "lumo_command_" + QByteArray::number(depth);
}

} // namespace

int Connection::beginCommand()
{
    m_commands.emplace_back();
    return int(m_commands.size());
}

int Connection::aboutToChange()
{
    if (m_commands.empty() || !m_db) return 0;
    const int depth = int(m_commands.size());
    if (uncommittedDepth() && sqlite3_get_autocommit(m_db)) transactionLost();
    Command& command = m_commands.back();
    if (!command.savepoint) {
        run(m_db, "savepoint " + savepointName(depth));
        command.savepoint = true;
    }
    return depth;
}

int Connection::uncommittedDepth() const
{
    for (int depth = int(m_commands.size()); depth > 0; --depth)
        if (m_commands[size_t(depth - 1)].savepoint) return depth;
    return 0;
}

void Connection::watch(Recordset* recordset, int depth)
{
    m_commands[size_t(depth - 1)].watched.push_back(recordset);
}

void Connection::unwatch(Recordset* recordset)
{
    for (Command& command : m_commands)
        std::erase(command.watched, recordset);
}

void Connection::commitCommand(int depth)
{
    if (depth != int(m_commands.size())) return; // the connection was closed meanwhile
    if (m_commands.back().savepoint) {
        // The engine already undid everything after some failure a window
        // caught and reported: what the cursors show must go too.
        if (!m_db || sqlite3_get_autocommit(m_db)) return rollbackCommand(depth);
        run(m_db, "release " + savepointName(depth));
    }
    Command done = std::move(m_commands.back());
    m_commands.pop_back();
    const int into = uncommittedDepth();
    for (Recordset* recordset : done.watched)
        if (recordset->moveCheckpoint(depth, into)) watch(recordset, into);
}

void Connection::commitSoFar()
{
    if (m_commands.empty()) return;
    commitCommand(int(m_commands.size()));
    beginCommand();
}

void Connection::rollbackSoFar()
{
    if (m_commands.empty()) return;
    rollbackCommand(int(m_commands.size()));
    beginCommand();
}

void Connection::rollbackCommand(int depth)
{
    if (depth != int(m_commands.size())) return;
    Command failed = std::move(m_commands.back());
    m_commands.pop_back();
    if (!failed.savepoint) return;
    if (m_db && !sqlite3_get_autocommit(m_db)) {
        // Releasing even an emptied savepoint can meet a reader's lock: the
        // outermost one ends with a plain rollback, which always ends.
        const QByteArray name = savepointName(depth);
        if (uncommittedDepth() == 0) {
            sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
        } else {
            sqlite3_exec(m_db, "rollback to " + name, nullptr, nullptr, nullptr);
            sqlite3_exec(m_db, "release " + name, nullptr, nullptr, nullptr);
        }
        restoreWatched(failed, depth);
        return;
    }
    restoreWatched(failed, depth);
    transactionLost();
}

// Some failures end the whole transaction: every open command's changes
// are gone.
void Connection::transactionLost()
{
    std::vector<std::pair<Command, int>> lost;
    for (int depth = int(m_commands.size()); depth > 0; --depth) {
        Command& command = m_commands[size_t(depth - 1)];
        if (!command.savepoint) continue;
        lost.emplace_back(std::move(command), depth);
        command = Command();
    }
    for (auto& [command, at] : lost)
        restoreWatched(command, at);
}

void Connection::restoreWatched(Command& command, int depth)
{
    const std::vector<Recordset*> watched = std::move(command.watched);
    for (Recordset* recordset : watched)
        recordset->restoreCheckpoint(depth);
}

// ---- the record set's side ----------------------------------------------

void Recordset::aboutToChange()
{
    const int depth = m_connection->aboutToChange();
    if (depth == 0 || (!m_checkpoints.empty() && m_checkpoints.back().depth == depth)) return;
    m_checkpoints.push_back({depth, false, m_rows, m_liveCount, m_pos});
    m_connection->watch(this, depth);
}

void Recordset::noteOpened()
{
    // Read while changes are pending: those rows may yet be rolled back.
    if (const int depth = m_connection->uncommittedDepth()) {
        m_checkpoints.push_back({depth, true, {}, 0, 0});
        m_connection->watch(this, depth);
    }
}

void Recordset::forgetCheckpoints()
{
    if (m_checkpoints.empty()) return;
    if (m_connection) m_connection->unwatch(this);
    m_checkpoints.clear();
}

void Recordset::rewatch(bool attach)
{
    if (m_checkpoints.empty() || !m_connection) return;
    if (!attach) return m_connection->unwatch(this);
    for (const Checkpoint& checkpoint : m_checkpoints)
        m_connection->watch(this, checkpoint.depth);
}

bool Recordset::moveCheckpoint(int from, int to)
{
    if (m_checkpoints.empty() || m_checkpoints.back().depth != from) return false;
    // An older checkpoint of the enclosing command wins.
    const bool enclosingHasOne =
        m_checkpoints.size() >= 2 && m_checkpoints[m_checkpoints.size() - 2].depth == to;
    if (to == 0 || enclosingHasOne) {
        m_checkpoints.pop_back();
        return false;
    }
    m_checkpoints.back().depth = to;
    return true;
}

void Recordset::restoreCheckpoint(int depth)
{
    if (m_checkpoints.empty() || m_checkpoints.back().depth != depth) return;
    Checkpoint checkpoint = std::move(m_checkpoints.back());
    m_checkpoints.pop_back();
    cancelUpdate();
    if (!checkpoint.reread) {
        m_rows = std::move(checkpoint.rows);
        m_liveCount = checkpoint.liveCount;
        m_pos = checkpoint.pos;
        m_liveDirty = true;
        return;
    }
    try {
        Recordset fresh(m_sql, *m_connection);
        swap(fresh);
    } catch (const StoreError&) {
        // Nothing read is known to be stored any more: show no row at all.
        for (Row& row : m_rows)
            row.deleted = true;
        m_liveCount = 0;
        m_liveDirty = true;
        m_pos = int(m_rows.size());
    }
}

} // namespace store
