#include "notify/DueAffairs.h"

#include "core/AffairText.h"
#include "core/DueList.h"
#include "lunar/LunarSchedule.h"
#include "store/Scan.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <algorithm>

namespace notify {

namespace {

QVariant cell(const store::Scan& scan, int column)
{
    return scan.raw(column).isNull() ? QVariant() : QVariant(scan.text(column));
}

// "yyyy-MM-dd HH:mm[:ss]" as the book stores it; anything else is no time.
QTime storedTimeOfDay(const QString& stored)
{
    static const QRegularExpression form(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2}[ T](\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const QRegularExpressionMatch match = form.match(stored.trimmed());
    if (!match.hasMatch()) return {};
    return QTime(match.captured(1).toInt(), match.captured(2).toInt(),
                 match.captured(3).isEmpty() ? 0 : match.captured(3).toInt());
}

} // namespace

QList<DueAffair> dueAffairs(store::Connection& connection, const QDate& day)
{
    using namespace core;
    // A book from before the lunar schedules has no such columns: read as empty.
    store::Scan columns(connection,
                        QStringLiteral("select count(*) from pragma_table_info('mp') "
                                       "where name in ('农历每年时间', '农历每月时间')"));
    const bool lunarColumns = columns.next() && columns.integer(0) == 2;
    store::Scan scan(connection,
                     QStringLiteral("select 要事, 时间点, 起始时间, 结束时间, 每日时间, 每月时间, "
                                    "每周时间, 每月每日时间, %1 from mp")
                         .arg(lunarColumns ? QStringLiteral("农历每年时间, 农历每月时间")
                                           : QStringLiteral("'', ''")));
    const lunar::DayFacts lunarDay = lunar::factsOf(day);
    QList<DueAffair> due;
    while (scan.next()) {
        const bool hit =
            dueOnTimePoint(cell(scan, 1), day) || dueInPeriod(cell(scan, 2), cell(scan, 3), day) ||
            dueOnDayOfMonth(cell(scan, 4), day) || dueInMonth(cell(scan, 5), day) ||
            dueOnWeekday(cell(scan, 6), day) || dueOnMonthDay(cell(scan, 7), day) ||
            lunar::dueYearly(scan.raw(8), lunarDay) || lunar::dueMonthly(scan.raw(9), lunarDay);
        if (hit) due.append({scan.text(0), storedTimeOfDay(scan.text(1))});
    }
    return due;
}

QList<DueAffair> timedAffairs(store::Connection& connection, const QDate& day)
{
    // Dates are ISO text, so the day is a range of text.
    const QString from = day.toString(QStringLiteral("yyyy-MM-dd"));
    const QString to = day.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
    store::Scan scan(connection, QStringLiteral("select 要事, 时间点 from mp where 时间点 > '%1' "
                                                "and 时间点 < '%2'")
                                     .arg(from, to));
    QList<DueAffair> timed;
    while (scan.next()) {
        const QTime time = storedTimeOfDay(scan.text(1));
        if (time.isValid() && time != QTime(0, 0)) timed.append({scan.text(0), time});
    }
    std::stable_sort(timed.begin(), timed.end(),
                     [](const DueAffair& a, const DueAffair& b) { return a.time < b.time; });
    return timed;
}

QString affairHeadline(const QString& stored)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n\r|\r|\n"));
    const QStringList lines = stored.split(lineBreak);
    const auto isRule = [](const QString& line) {
        return !line.isEmpty() && line.count(u'-') == line.size();
    };
    QString summary = lines.value(0).trimmed();
    const qsizetype marker = lines.value(0).lastIndexOf(core::kAffairMarker);
    if (marker >= 0) {
        summary = lines.value(0).left(marker).trimmed();
        const QString own = lines.value(1).trimmed();
        if (!own.isEmpty() && !isRule(own)) return own;
    }
    if (!summary.isEmpty()) return summary;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty() && !isRule(line.trimmed())) return line.trimmed();
    return {};
}

QString affairKey(const QString& stored)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(stored.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace notify
