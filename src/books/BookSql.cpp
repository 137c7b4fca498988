#include "books/BookSql.h"

#include "store/JetSql.h"

namespace books {

QString BookSql::allRows() const
{
    return QStringLiteral("select * from ") + table;
}

QString BookSql::allRowsForAdding() const
{
    return QStringLiteral("select * from ") + table + u' ';
}

QString BookSql::categories() const
{
    return QStringLiteral("select distinct 分类 from ") + table +
           QStringLiteral(" where not 分类  is null");
}

QString BookSql::oneCategory(const QString& c) const
{
    return QStringLiteral("select  * from ") + table + QStringLiteral(" where 分类=") +
           store::quoted(c);
}

QString BookSql::searchHead() const
{
    return QStringLiteral("select  * from ") + table + QStringLiteral(" where ");
}

} // namespace books
