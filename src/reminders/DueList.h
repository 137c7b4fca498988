#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace store {
class Recordset;
}

namespace reminders {

// VB's Val("0" & text): blanks (space, tab, line feed) are skipped anywhere;
// ASCII digits, one decimal point and an E or D exponent are read; reading
// stops at the first other character. Null and empty read as 0.
double leadingNumber(const QString& text);
double leadingNumber(const QVariant& value);

// The six schedule tests of one affair row against one day.
bool dueOnTimePoint(const QVariant& timePoint, const QDate& today);                   // 时间点
bool dueInPeriod(const QVariant& start, const QVariant& end, const QDate& today);     // 起始/结束时间
bool dueOnDayOfMonth(const QVariant& day, const QDate& today);                        // 每日时间
bool dueInMonth(const QVariant& month, const QDate& today);                           // 每月时间
bool dueOnWeekday(const QVariant& weekday, const QDate& today);                       // 每周时间
bool dueOnMonthDay(const QVariant& monthDay, const QDate& today);                     // 每月每日时间

// Sunday 0 .. Saturday 6.
int weekdayNumber(const QDate& date);
// "今天是:星期一" ... "今天是:星期日"
QString weekdayText(const QDate& date);

// Ends every entry of the due list.
inline const QString kEntryEnd = QStringLiteral("\n\r\n\r");

// Walks the cursor from its first record to its end and returns the due
// list for `today`: one entry per passing test, in test order. Leaves the
// cursor at EOF.
QString evaluateDueList(store::Recordset& affairs, const QDate& today);

} // namespace reminders
