#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <vector>

namespace store {
class Connection;
}

namespace core {

// One row of mp as the store keeps it, every column in table order; a null
// cell is a null QString, so a copy written back is the same row.
struct AffairRecord {
    enum Column {
        Affair,
        Keyword,
        TimePoint,
        Start,
        End,
        Contact,
        Place,
        Address,
        Mobile,
        Phone,
        Month,
        Weekday,
        Day,
        MonthDay,
        LunarYearly,
        LunarMonthly,
        ColumnCount
    };
    std::array<QString, ColumnCount> cells;
    const QString& operator[](Column c) const { return cells[c]; }
    QString& operator[](Column c) { return cells[c]; }
};

// The column names in the order of AffairRecord::Column.
const std::array<QString, AffairRecord::ColumnCount>& affairColumnNames();

// Every affair of the book, in the order "select * from mp" lists them. A
// book from before the lunar columns reads them as empty. Throws
// store::StoreError.
std::vector<AffairRecord> readAffairs(store::Connection& connection);

// The cells of a record as UTF-8, made once for its key and its stored value.
struct Utf8Record {
    explicit Utf8Record(const AffairRecord& record);
    const AffairRecord& record; // tells null cells from empty ones
    std::array<QByteArray, AffairRecord::ColumnCount> cells;
};

// A key that stays the same while the record does: a hash of every cell and
// of how many identical records come before it (`duplicatesBefore`), since
// rows have no key of their own and rowids may change.
QByteArray recordKey(const AffairRecord& record, int duplicatesBefore);
QByteArray recordKey(const Utf8Record& record, int duplicatesBefore);

// The keys of records met one after another, counting identical ones.
class RecordKeys {
public:
    QByteArray next(const Utf8Record& record);

private:
    QHash<QByteArray, int> m_seen;
};

// recordKey for each record of `records`, in order.
std::vector<QByteArray> recordKeys(const std::vector<AffairRecord>& records);

} // namespace core
