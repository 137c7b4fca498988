#include "store/BookColumns.h"

#include "store/Connection.h"
#include "store/Scan.h"
#include "store/StoreError.h"

#include <QStringList>

namespace store {

namespace {

const QStringList kAppended = {QStringLiteral("农历每年时间"), QStringLiteral("农历每月时间")};

QStringList namesOf(Connection& connection, const QString& sql)
{
    QStringList names;
    Scan scan(connection, sql);
    while (scan.next())
        names << scan.text(0);
    return names;
}

} // namespace

void addMissingColumns(Connection& connection)
{
    const QStringList columns =
        namesOf(connection, QStringLiteral("select name from pragma_table_info('mp')"));
    if (columns.isEmpty()) return; // no table mp: the first read will say so
    const QStringList indexed =
        namesOf(connection, QStringLiteral("select name from pragma_index_info('mp_schedule')"));
    const bool columnsThere = columns.contains(kAppended[0]) && columns.contains(kAppended[1]);
    const bool indexCurrent = indexed.isEmpty() || indexed.contains(kAppended[0]);
    if (columnsThere && indexCurrent) return;

    connection.execute(QStringLiteral("begin immediate"));
    try {
        for (const QString& column : kAppended)
            if (!columns.contains(column))
                connection.execute(
                    QStringLiteral("alter table mp add column %1 TEXT COLLATE NOCASE DEFAULT ''")
                        .arg(column));
        // The start-up due list reads every schedule column from this index.
        if (!indexed.isEmpty()) {
            connection.execute(QStringLiteral("drop index mp_schedule"));
            connection.execute(QStringLiteral(
                "create index mp_schedule on mp (时间点, 起始时间, 结束时间, 每日时间, 每月时间, "
                "每周时间, 每月每日时间, 农历每年时间, 农历每月时间)"));
        }
        connection.execute(QStringLiteral("commit"));
    } catch (const StoreError&) {
        connection.execute(QStringLiteral("rollback"));
        throw;
    }
}

} // namespace store
