#include "core/AffairRecord.h"

#include "core/Columns.h"
#include "store/Connection.h"
#include "store/Scan.h"

#include <QCryptographicHash>
#include <QHash>
#include <iterator>

namespace core {

const std::array<QString, AffairRecord::ColumnCount>& affairColumnNames()
{
    using namespace columns;
    static const std::array<QString, AffairRecord::ColumnCount> names = {
        kAffair, kAffairKeyword, kTimePoint,   kStart,       kEnd,   kContact,
        kPlace,  kAddress,       kMobile,      kPhone,       kMonth, kWeekday,
        kDay,    kMonthDay,      kLunarYearly, kLunarMonthly};
    return names;
}

std::vector<AffairRecord> readAffairs(store::Connection& connection)
{
    store::Scan lunarColumns(connection,
                             QStringLiteral("select count(*) from pragma_table_info('mp') "
                                            "where name in ('农历每年时间', '农历每月时间')"));
    const bool lunar = lunarColumns.next() && lunarColumns.integer(0) == 2;
    QStringList names;
    for (int c = 0; c < AffairRecord::ColumnCount; ++c)
        names << (!lunar && c >= AffairRecord::LunarYearly ? QStringLiteral("''")
                                                           : affairColumnNames()[c]);
    store::Scan rows(connection, QStringLiteral("select %1 from mp").arg(names.join(u',')));
    std::vector<AffairRecord> records;
    while (rows.next()) {
        AffairRecord record;
        for (int c = 0; c < AffairRecord::ColumnCount; ++c) {
            if (rows.isNull(c)) continue;
            record.cells[c] = QString::fromUtf8(rows.raw(c));
            if (record.cells[c].isNull()) record.cells[c] = QStringLiteral("");
        }
        records.push_back(std::move(record));
    }
    return records;
}

Utf8Record::Utf8Record(const AffairRecord& r) : record(r)
{
    for (int c = 0; c < AffairRecord::ColumnCount; ++c)
        cells[c] = r.cells[c].toUtf8();
}

QByteArray recordKey(const AffairRecord& record, int duplicatesBefore)
{
    return recordKey(Utf8Record(record), duplicatesBefore);
}

QByteArray recordKey(const Utf8Record& record, int duplicatesBefore)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int c = 0; c < AffairRecord::ColumnCount; ++c) {
        // Null and empty differ, and no cell's text runs into the next one's.
        hash.addData(record.record.cells[c].isNull() ? QByteArrayView("\x01")
                                                     : QByteArrayView("\x02"));
        const QByteArray& utf8 = record.cells[c];
        // The length in decimal and a colon, written backwards into the buffer's end.
        char length[24];
        char* at = std::end(length);
        *--at = ':';
        qsizetype n = utf8.size();
        do {
            *--at = char('0' + n % 10);
            n /= 10;
        } while (n > 0);
        hash.addData(QByteArrayView(at, std::end(length) - at));
        hash.addData(utf8);
    }
    hash.addData(QByteArray::number(duplicatesBefore));
    return hash.result().toHex();
}

QByteArray RecordKeys::next(const Utf8Record& record)
{
    QByteArray key = recordKey(record, 0);
    int& count = m_seen[key];
    if (count > 0) key = recordKey(record, count);
    ++count;
    return key;
}

std::vector<QByteArray> recordKeys(const std::vector<AffairRecord>& records)
{
    RecordKeys keys;
    std::vector<QByteArray> result;
    result.reserve(records.size());
    for (const AffairRecord& record : records)
        result.push_back(keys.next(Utf8Record(record)));
    return result;
}

} // namespace core
