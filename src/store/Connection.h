#pragma once

#include <QString>
#include <vector>

struct sqlite3;

namespace store {

class Recordset;

// The version of the SQLite library the store runs on.
QString engineVersion();

// The longest a statement waits for another program to let go of the book.
constexpr int kBusyTimeout = 3000; // ms

// One open database file. Opening never creates the file, and a file that
// can only be read is refused at once rather than at the first write.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    enum class Access { ReadWrite, ReadOnly };
    // ReadOnly takes a write-protected file and refuses every change.
    void open(const QString& path, Access access = Access::ReadWrite); // throws StoreError
    // A new book in memory made by `script` (statements as SQLite takes
    // them), to compare a book with the tables it should have.
    void openInMemory(const QString& script); // throws StoreError
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    // Runs a statement that returns no rows (after JetSql translation).
    // Returns the number of rows changed.
    int execute(const QString& sql);

    sqlite3* handle() const { return m_db; }

    // How long a statement waits for another program's lock (kBusyTimeout from open).
    void setBusyTimeout(int milliseconds);

    // Takes the book's read lock and keeps it across several reads (each one
    // would take and drop it again), or throws StoreError when the book
    // cannot be read now; false (and nothing to end) inside a transaction.
    bool beginReading();
    void endReading();

    // A command's changes are one transaction: it begins at the command's
    // first change (reads take no lock meanwhile) and ends with the command.
    // Commands nest (a timer firing under a message box); each can be rolled
    // back alone. Record sets that changed or were read during a command that
    // is rolled back are put back as they were, so no cursor shows a row the
    // book does not hold. Outside any command every change stands at once.
    int beginCommand(); // the command's depth, for endCommand
    // Commits (when outermost) or joins the enclosing command; throws
    // StoreError when the book refuses, and the command is then still open.
    void commitCommand(int depth);
    void rollbackCommand(int depth); // never throws
    // Stores what the running command changed so far, so that a refusal is
    // known before the command goes on to empty its boxes; what follows is
    // a transaction of its own. Throws StoreError like commitCommand.
    void commitSoFar();
    // Undoes what the running command changed so far; the command goes on.
    void rollbackSoFar();
    // For the store itself: called before every change; opens the command's
    // transaction when needed and answers its depth (0: outside commands).
    int aboutToChange();
    // The depth of the innermost command holding uncommitted changes, or 0.
    int uncommittedDepth() const;
    void watch(Recordset* recordset, int depth);
    void unwatch(Recordset* recordset);

private:
    struct Command {
        bool savepoint = false;
        std::vector<Recordset*> watched;
    };
    void endCommand(int depth);
    void restoreWatched(Command& command, int depth);
    void transactionLost();

    sqlite3* m_db = nullptr;
    QString m_path;
    std::vector<Command> m_commands;
};

// Runs one command on a connection: rolled back unless commit() succeeds.
class CommandScope {
public:
    explicit CommandScope(Connection& connection)
        : m_connection(connection), m_depth(connection.beginCommand())
    {
    }
    ~CommandScope()
    {
        if (!m_done) m_connection.rollbackCommand(m_depth);
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
    void commit() // throws StoreError; the scope stays open for rollback()
    {
        m_connection.commitCommand(m_depth);
        m_done = true;
    }
    void rollback()
    {
        if (!m_done) m_connection.rollbackCommand(m_depth);
        m_done = true;
    }

private:
    Connection& m_connection;
    int m_depth;
    bool m_done = false;
};

} // namespace store
