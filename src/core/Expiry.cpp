#include "core/Expiry.h"

#include <QDate>

namespace core {

QString expiredCondition(const QDate& today)
{
    const QString d = today.toString(QStringLiteral("yyyy-MM-dd")).trimmed();
    return QStringLiteral("时间点<#") + d + QStringLiteral("# or 结束时间<#") + d +
           QStringLiteral("#");
}

} // namespace core
