#include "StoreFixture.h"

#include "store/Recordset.h"

#include <QFile>
#include <QTest>
#include <sqlite3.h>
#include <stdexcept>

namespace {

struct Handle {
    explicit Handle(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        // Setting up and playing the other writer need no durability.
        sqlite3_exec(db, "pragma synchronous = off", nullptr, nullptr, nullptr);
    }
    ~Handle() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
};

} // namespace

StoreFixture::StoreFixture() {
    m_path = m_dir.filePath(QStringLiteral("rmd.mdb"));
    QFile schema(QStringLiteral(LUMO_SCHEMA));
    if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error("schema not readable");
    QFile(m_path).open(QIODevice::WriteOnly); // an empty file is an empty database
    exec(QString::fromUtf8(schema.readAll()));
}

void StoreFixture::exec(const QString& sql) const {
    Handle h(m_path);
    char* error = nullptr;
    if (sqlite3_exec(h.db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error;
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

QStringList StoreFixture::column(const QString& sql) const {
    Handle h(m_path);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(h.db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(h.db));
    QStringList values;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        if (sqlite3_column_type(statement, 0) == SQLITE_NULL)
            values << QStringLiteral("<null>");
        else
            values << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    return values;
}

QString StoreFixture::scalar(const QString& sql) const {
    const QStringList values = column(sql);
    return values.isEmpty() ? QString() : values.first();
}

QStringList walkForward(store::Recordset& rs, int column) {
    QStringList seen;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        seen << rs.text(column);
    return seen;
}

QStringList walkBackward(store::Recordset& rs, int column) {
    QStringList seen;
    for (rs.moveLast(); !rs.bof(); rs.movePrevious())
        seen.prepend(rs.text(column));
    return seen;
}
