#include "store/Scan.h"

#include "store/Connection.h"
#include "store/JetSql.h"
#include "store/Statement.h"

namespace store {

struct Scan::Impl {
    Impl(Connection& c, const QString& sql) : statement(c.handle(), translateJetSql(sql)) {}
    detail::Statement statement;
};

Scan::Scan(Connection& connection, const QString& sql)
{
    if (!connection.isOpen()) throw StoreError(QStringLiteral("数据库没有打开"));
    m = std::make_unique<Impl>(connection, sql);
}

Scan::~Scan() = default;

bool Scan::next()
{
    return m->statement.step();
}

bool Scan::isNull(int column) const
{
    return sqlite3_column_type(m->statement.get(), column) == SQLITE_NULL;
}

QByteArrayView Scan::raw(int column) const
{
    sqlite3_stmt* s = m->statement.get();
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return data ? QByteArrayView(data, sqlite3_column_bytes(s, column)) : QByteArrayView();
}

QString Scan::text(int column) const
{
    const QByteArrayView bytes = raw(column);
    return QString::fromUtf8(bytes.data(), bytes.size());
}

qint64 Scan::integer(int column) const
{
    return sqlite3_column_int64(m->statement.get(), column);
}

void Scan::bind(int slot, qint64 value)
{
    m->statement.bindInt64(slot, value);
}

void Scan::rewind()
{
    sqlite3_reset(m->statement.get());
}

} // namespace store
