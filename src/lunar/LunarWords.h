#pragma once

#include "lunar/LunarCalendar.h"

#include <QDate>
#include <QString>

namespace lunar {

// 正月 二月 … 十月 冬月 腊月; "闰" before a leap month.
QString monthName(int month, bool leap = false);
// 初一 … 初十, 十一 … 十九, 二十, 廿一 … 廿九, 三十.
QString dayName(int day);
// The year's 干支, e.g. 2026 丙午.
QString yearName(int year);
// "丁未年八月初八".
QString dateText(const LunarDate& date);
// 小寒 … 冬至 by number, 0 .. 23.
QString solarTermName(int term);

// The festivals a user picks a yearly lunar date by. 除夕 is 腊月三十, which
// falls on 腊月廿九 in years whose 腊月 has 29 days.
struct Festival {
    const char16_t* name;
    int month;
    int day;
};
inline constexpr Festival kFestivals[] = {
    {u"春节", 1, 1},  {u"元宵", 1, 15}, {u"端午", 5, 5},  {u"七夕", 7, 7},   {u"中元", 7, 15},
    {u"中秋", 8, 15}, {u"重阳", 9, 9},  {u"腊八", 12, 8}, {u"小年", 12, 23}, {u"除夕", 12, 30},
};

// The festival and the solar term of a solar day, as far as there are any,
// joined by a blank; empty when there is neither.
QString daysOccasion(const QDate& solar);

// The reminder window's line for today: "农历：丙午年十月廿九 大雪"; empty
// outside the range the calendar covers.
QString todayText(const QDate& solar);

} // namespace lunar
