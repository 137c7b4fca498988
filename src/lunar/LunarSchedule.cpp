#include "lunar/LunarSchedule.h"

#include "lunar/LunarWords.h"

namespace lunar {

namespace {

const QByteArrayView kLeapMark("\xE9\x97\xB0"); // 闰 in UTF-8

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Plain ASCII digits only, read as far as a small number can go.
std::optional<int> number(QByteArrayView digits, int lowest, int highest)
{
    if (digits.isEmpty()) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > highest) return std::nullopt;
    }
    if (value < lowest) return std::nullopt;
    return value;
}

bool dayMatches(int wanted, const DayFacts& day)
{
    return day.date.day == wanted || (wanted == 30 && day.monthLength == 29 && day.date.day == 29);
}

} // namespace

std::optional<YearlyDate> readYearly(QByteArrayView utf8)
{
    QByteArrayView text = trimmed(utf8);
    YearlyDate date;
    if (text.startsWith(kLeapMark)) {
        date.leap = true;
        text = text.sliced(kLeapMark.size());
    }
    const qsizetype dash = text.indexOf('-');
    if (dash < 0) return std::nullopt;
    const std::optional<int> month = number(text.first(dash), 1, 12);
    const std::optional<int> day = number(text.sliced(dash + 1), 1, 30);
    if (!month || !day) return std::nullopt;
    date.month = *month;
    date.day = *day;
    return date;
}

std::optional<YearlyDate> readYearly(const QString& text)
{
    return readYearly(QByteArrayView(text.toUtf8()));
}

std::optional<int> readMonthly(QByteArrayView utf8)
{
    return number(trimmed(utf8), 1, 30);
}

std::optional<int> readMonthly(const QString& text)
{
    return readMonthly(QByteArrayView(text.toUtf8()));
}

DayFacts factsOf(const QDate& solar)
{
    DayFacts facts;
    const std::optional<LunarDate> date = toLunar(solar);
    if (!date) return facts;
    facts.valid = true;
    facts.date = *date;
    facts.monthLength = monthLength(date->year, date->month, date->leap);
    facts.monthHasLeap = date->leap || toSolar({date->year, date->month, true, 1}).isValid();
    return facts;
}

bool dueYearly(const YearlyDate& date, const DayFacts& day)
{
    if (!day.valid || date.month != day.date.month) return false;
    const bool rightMonth = date.leap ? day.date.leap || !day.monthHasLeap : !day.date.leap;
    return rightMonth && dayMatches(date.day, day);
}

bool dueMonthly(int dayOfMonth, const DayFacts& day)
{
    return day.valid && dayMatches(dayOfMonth, day);
}

bool dueYearly(QByteArrayView utf8, const DayFacts& day)
{
    if (!day.valid || utf8.isEmpty()) return false;
    const std::optional<YearlyDate> date = readYearly(utf8);
    return date && dueYearly(*date, day);
}

bool dueMonthly(QByteArrayView utf8, const DayFacts& day)
{
    if (!day.valid || utf8.isEmpty()) return false;
    const std::optional<int> dayOfMonth = readMonthly(utf8);
    return dayOfMonth && dueMonthly(*dayOfMonth, day);
}

QString yearlyWords(const QString& text)
{
    const std::optional<YearlyDate> date = readYearly(text);
    return date ? monthName(date->month, date->leap) + dayName(date->day) : text;
}

QString monthlyWords(const QString& text)
{
    const std::optional<int> day = readMonthly(text);
    return day ? dayName(*day) : text;
}

} // namespace lunar
