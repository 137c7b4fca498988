#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// Every failure of the store carries the engine's own text, which the
// windows show to the user unchanged.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace store
