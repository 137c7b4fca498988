#pragma once

#include <QByteArrayView>
#include <QString>
#include <memory>

namespace store {

class Connection;

// A forward-only, read-only pass over a query, for work that reads a large
// table once and keeps nothing: cells are handed out as the engine stores
// them, valid until the next step.
class Scan {
public:
    Scan(Connection& connection, const QString& sql); // throws StoreError
    ~Scan();
    Scan(const Scan&) = delete;
    Scan& operator=(const Scan&) = delete;

    bool next();                          // true while a row is there; throws StoreError
    bool isNull(int column) const;        // a copy of a row keeps null apart from empty
    QByteArrayView raw(int column) const; // UTF-8; dates as stored ISO text
    QString text(int column) const;       // null as empty text
    qint64 integer(int column) const;

    // For a statement with "?" slots: bind, then next(); rewind() before the next use.
    void bind(int slot, qint64 value);
    void rewind();

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace store
