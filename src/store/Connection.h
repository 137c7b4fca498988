#pragma once

#include <QString>

struct sqlite3;

namespace store {

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
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    // Runs a statement that returns no rows (after JetSql translation).
    // Returns the number of rows changed.
    int execute(const QString& sql);

    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
    QString m_path;
};

} // namespace store
