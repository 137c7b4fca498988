#include "PlainDb.h"

#include <sqlite3.h>
#include <stdexcept>

namespace {

[[noreturn]] void fail(sqlite3* db, sqlite3_stmt* statement, const char* what)
{
    const std::string message = std::string(what) + ": " + sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    sqlite3_close_v2(db);
    throw std::runtime_error(message);
}

QString cellText(sqlite3_stmt* statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL) return QStringLiteral("<null>");
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column)); // NULs kept
}

// Every row of every statement, its cells joined by '|', or only its first cell.
QStringList run(const QString& path, const QString& sql, bool firstCellOnly = false)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr))
        fail(db, nullptr, "open");
    sqlite3_busy_timeout(db, 5000);
    // Setting up a test needs no durability.
    sqlite3_exec(db, "pragma synchronous = off", nullptr, nullptr, nullptr);
    const QByteArray text = sql.toUtf8();
    const char* next = text.constData();
    const char* const end = next + text.size();
    QStringList rows;
    while (next < end) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, next, int(end - next), &statement, &next) != SQLITE_OK)
            fail(db, statement, "prepare");
        if (!statement) continue; // blanks or a lone semicolon
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            QStringList cells;
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                cells << cellText(statement, c);
            rows << (firstCellOnly ? cells.value(0) : cells.join(QLatin1Char('|')));
        }
        if (rc != SQLITE_DONE) fail(db, statement, "step");
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(db);
    return rows;
}

} // namespace

QStringList plainRows(const QString& path, const QString& sql)
{
    return run(path, sql);
}

QStringList plainColumn(const QString& path, const QString& sql)
{
    return run(path, sql, true);
}

QString plainScalar(const QString& path, const QString& sql)
{
    return run(path, sql, true).value(0);
}

void plainExec(const QString& path, const QString& sql)
{
    run(path, sql);
}
