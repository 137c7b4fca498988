#include "store/Prepared.h"

#include "store/Connection.h"
#include "store/Statement.h"

namespace store {

Prepared::Prepared(Connection& connection, const QString& sql)
    : m_statement(std::make_unique<detail::Statement>(connection.handle(), sql))
{
}

Prepared::~Prepared() = default;

void Prepared::bindText(int slot, const QByteArray& utf8)
{
    m_statement->bindText(slot, utf8);
}

void Prepared::bindNull(int slot)
{
    m_statement->bindNull(slot);
}

void Prepared::run()
{
    // Reset even when the step fails, so the next run starts clean.
    struct Reset {
        sqlite3_stmt* statement;
        ~Reset()
        {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
        }
    } reset{m_statement->get()};
    m_statement->step();
}

QString quotedName(const QString& name)
{
    return detail::quotedIdentifier(name);
}

} // namespace store
