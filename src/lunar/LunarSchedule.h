#pragma once

#include "lunar/LunarCalendar.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <optional>

namespace lunar {

// A lunar month and day of every year (农历每年时间): "8-8", "闰6-1",
// "12-30"; blanks around it and leading zeros are allowed.
struct YearlyDate {
    int month = 0;
    bool leap = false;
    int day = 0;
};
std::optional<YearlyDate> readYearly(QByteArrayView utf8);
std::optional<YearlyDate> readYearly(const QString& text);
// A lunar day of every month (农历每月时间): "1" .. "30".
std::optional<int> readMonthly(QByteArrayView utf8);
std::optional<int> readMonthly(const QString& text);

// What the lunar schedule tests need to know of one solar day, worked out
// once per evaluation. `valid` is false outside the calendar's range: then
// no lunar schedule is due.
struct DayFacts {
    bool valid = false;
    LunarDate date;
    int monthLength = 0;       // of the month the day lies in
    bool monthHasLeap = false; // the year has a leap month of the day's number
};
DayFacts factsOf(const QDate& solar);

// Day 30 counts as the last day of a month of 29 days. A leap-month date is
// due in the ordinary month of its number when the year has no such leap
// month; an ordinary-month date never in a leap month.
bool dueYearly(const YearlyDate& date, const DayFacts& day);
// In every month, leap months included.
bool dueMonthly(int dayOfMonth, const DayFacts& day);

// The stored values' texts read on the tests' fast path; unreadable values are
// never due.
bool dueYearly(QByteArrayView utf8, const DayFacts& day);
bool dueMonthly(QByteArrayView utf8, const DayFacts& day);

// The summary line's words: "八月初八", "闰六月初一" and "十五"; a value that
// is no lunar date stays as it was written.
QString yearlyWords(const QString& text);
QString monthlyWords(const QString& text);

} // namespace lunar
