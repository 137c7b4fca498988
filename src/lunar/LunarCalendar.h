#pragma once

#include <QDate>
#include <optional>

namespace lunar {

// A day of the Chinese lunar calendar. `year` is the lunar year, which
// starts at 春节, so early January belongs to the year before.
struct LunarDate {
    int year = 0;
    int month = 0; // 1 .. 12
    bool leap = false;
    int day = 0; // 1 .. 30
    friend bool operator==(const LunarDate&, const LunarDate&) = default;
};

// The solar days Lumo converts: 1901-01-01 .. 2100-12-31.
inline const QDate kFirstDay(1901, 1, 1);
inline const QDate kLastDay(2100, 12, 31);
bool inRange(const QDate& solar);

// Nothing outside the range.
std::optional<LunarDate> toLunar(const QDate& solar);
// An invalid date when the lunar date does not exist (day 30 of a month of
// 29 days, a leap month the year does not have) or lies outside the range.
QDate toSolar(const LunarDate& date);

// 29 or 30; 0 when the year has no such month.
int monthLength(int year, int month, bool leap);
// The year's leap month, 0 when it has none.
int leapMonth(int year);

// Today's solar term as its number, 0 小寒 .. 23 冬至, or -1 when the day
// starts none (or lies outside the range).
int solarTerm(const QDate& solar);

} // namespace lunar
