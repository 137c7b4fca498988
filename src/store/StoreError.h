#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// What went wrong, as far as the user can do something about it. Fatal is
// every other failure: a missing table or column, a damaged file, a fault
// of the program.
enum class Fault { Fatal, Busy, Full, ReadOnly, Io };

// The fault an SQLite result code stands for (extended codes included).
Fault faultOf(int resultCode);
// What happened to the book at `bookPath` and what the user can do, in
// Chinese; empty for Fatal.
QString faultText(Fault fault, const QString& bookPath);

// Every failure of the store carries the engine's own text, which the
// windows show to the user unchanged, and its result code (0: none).
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message, int resultCode = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(resultCode)
    {
    }
    QString message() const { return m_message; }
    int resultCode() const { return m_code; }
    Fault fault() const { return faultOf(m_code); }

private:
    QString m_message;
    int m_code;
};

} // namespace store
