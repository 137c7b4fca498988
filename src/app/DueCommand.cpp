#include "app/CommandParts.h"

#include "core/DueList.h"
#include "store/Connection.h"
#include "store/StoreError.h"
#include <QDir>

namespace app::detail {

// A writer killed in the middle of a change leaves its journal beside the
// book, which only a writable open rolls back: done once, when it may.
QString readDueList(const QString& database, const QDate& today)
{
    store::Connection connection;
    try {
        connection.open(database, store::Connection::Access::ReadOnly);
    } catch (const store::StoreError& error) {
        if (error.fault() != store::Fault::ReadOnly) throw;
        try {
            store::Connection writable;
            writable.open(database);
        } catch (const store::StoreError&) {
            throw store::StoreError(
                QStringLiteral("上次写入这个数据库的程序没有写完就中断了，留下了日志文件 %1。"
                               "要恢复，数据库必须能写入一次：请取消它的写保护后再运行，"
                               "或者启动 Lumo 一次。")
                    .arg(QDir::toNativeSeparators(database + QStringLiteral("-journal"))));
        }
        connection.open(database, store::Connection::Access::ReadOnly);
    }
    return core::evaluateDueList(connection, today);
}

} // namespace app::detail
