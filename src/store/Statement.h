#pragma once

// Internal to the store: a prepared statement that finalizes itself.

#include "StoreError.h"

#include <QByteArray>
#include <QString>
#include <limits>
#include <sqlite3.h>

namespace store::detail {

class Statement {
public:
    Statement(sqlite3* db, const QString& sql) : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (text.contains('\0')) throw StoreError(QStringLiteral("语句中含有空字符（NUL）"));
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, &tail) !=
            SQLITE_OK)
            throw StoreError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_extended_errcode(db));
        if (!m_statement) throw StoreError(QStringLiteral("语句为空"));
        const QByteArray rest = QByteArray(tail, text.constData() + text.size() - tail).trimmed();
        if (!rest.isEmpty() && rest != ";") {
            sqlite3_finalize(m_statement);
            throw StoreError(QStringLiteral("一次只能执行一条语句：") + sql);
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_statement; }

    // Steps once; true while a row is there, throws the engine's text on failure.
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_db)), sqlite3_extended_errcode(m_db));
    }

    void bindText(int slot, const QByteArray& utf8)
    {
        if (utf8.size() > std::numeric_limits<int>::max()) bound(SQLITE_TOOBIG);
        bound(sqlite3_bind_text(m_statement, slot, utf8.constData(), int(utf8.size()),
                                SQLITE_TRANSIENT));
    }
    void bindNull(int slot) { bound(sqlite3_bind_null(m_statement, slot)); }
    void bindInt64(int slot, qint64 value) { bound(sqlite3_bind_int64(m_statement, slot, value)); }

private:
    void bound(int rc) const
    {
        if (rc != SQLITE_OK) throw StoreError(QString::fromUtf8(sqlite3_errstr(rc)), rc);
    }

    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

inline QString quotedIdentifier(const QString& name)
{
    QString body = name;
    body.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + body + QLatin1Char('"');
}

} // namespace store::detail
