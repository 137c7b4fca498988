#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace store {

class Connection;
namespace detail {
class Statement;
}

// One statement prepared once and run many times with new values, for
// writes of thousands of rows where building each statement would cost
// more than the write itself.
class Prepared {
public:
    Prepared(Connection& connection, const QString& sql);
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    void bindText(int slot, const QByteArray& utf8);
    void bindNull(int slot);
    // Runs the statement with the values bound since the last run.
    void run();

private:
    std::unique_ptr<detail::Statement> m_statement;
};

// A column or table name as SQL writes it, whatever it holds.
QString quotedName(const QString& name);

} // namespace store
