#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace store {
class Connection;
class Recordset;
} // namespace store

namespace core {

// The number that "0" followed by `text` starts with: blanks (space, tab, line feed, not carriage
// return) are skipped anywhere, even between digits; ASCII digits, one decimal point and an E or D
// exponent with an optional sign are read; reading stops at the first other character. Null and
// empty read as 0, "-3" reads as 0 ("0-3"). A number too large for a double reads as infinity
// instead of failing.
double leadingNumber(const QString& text);
double leadingNumber(const QVariant& value);

// The six schedule tests of one affair row against one day (the two lunar
// ones, T7 and T8, are lunar::dueYearly and lunar::dueMonthly). Date columns
// are QDateTime (QDate and stored date text are accepted too); only their
// date part counts, whatever the time of day. Month-day texts
// without "-" or with a part outside the 16-bit range are not due.
bool dueOnTimePoint(const QVariant& timePoint, const QDate& today);               // 时间点
bool dueInPeriod(const QVariant& start, const QVariant& end, const QDate& today); // 起始/结束时间
bool dueOnDayOfMonth(const QVariant& day, const QDate& today);                    // 每日时间
bool dueInMonth(const QVariant& month, const QDate& today);                       // 每月时间
bool dueOnWeekday(const QVariant& weekday, const QDate& today);                   // 每周时间
bool dueOnMonthDay(const QVariant& monthDay, const QDate& today); // 每月每日时间

// Sunday 0 .. Saturday 6.
int weekdayNumber(const QDate& date);
// "今天是:星期一" ... "今天是:星期日"
QString weekdayText(const QDate& date);

// Ends every entry of the due list.
inline const QString kEntryEnd = QStringLiteral("\n\r\n\r");

// The due list of the records `affairs` holds (opened on the whole of mp),
// in cursor order, for `today`: the window's evaluation. Entries as for
// evaluateDueList. Throws store::StoreError when a schedule column is missing.
QString dueListOf(const store::Recordset& affairs, const QDate& today);

// The due list of the book in `connection` for `today`, judged from the
// schedule index without reading the cursor's snapshot (rmd --due): one entry per
// passing test, in test order, each the affair's 要事 (null as nothing)
// followed by kEntryEnd, affairs in the order "select * from mp" gives them.
// Throws store::StoreError when a schedule column is missing.
QString evaluateDueList(store::Connection& connection, const QDate& today);

} // namespace core
