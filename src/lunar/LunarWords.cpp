#include "lunar/LunarWords.h"

#include <QStringList>

namespace lunar {

namespace {

const char16_t* const kDigits[] = {u"",   u"一", u"二", u"三", u"四", u"五",
                                   u"六", u"七", u"八", u"九", u"十"};

QString text(const char16_t* utf16)
{
    return QString::fromUtf16(utf16);
}

} // namespace

QString monthName(int month, bool leap)
{
    if (month < 1 || month > 12) return {};
    static const char16_t* const names[] = {u"正", u"二", u"三", u"四", u"五", u"六",
                                            u"七", u"八", u"九", u"十", u"冬", u"腊"};
    return (leap ? text(u"闰") : QString()) + text(names[month - 1]) + text(u"月");
}

QString dayName(int day)
{
    if (day < 1 || day > 30) return {};
    if (day <= 10) return text(u"初") + text(kDigits[day]);
    if (day < 20) return text(u"十") + text(kDigits[day - 10]);
    if (day == 20) return text(u"二十");
    if (day < 30) return text(u"廿") + text(kDigits[day - 20]);
    return text(u"三十");
}

QString yearName(int year)
{
    static const char16_t* const stems[] = {u"甲", u"乙", u"丙", u"丁", u"戊",
                                            u"己", u"庚", u"辛", u"壬", u"癸"};
    static const char16_t* const branches[] = {u"子", u"丑", u"寅", u"卯", u"辰", u"巳",
                                               u"午", u"未", u"申", u"酉", u"戌", u"亥"};
    // 4 AD was a 甲子 year; the cycle repeats every 60 years.
    const int cycle = ((year - 4) % 60 + 60) % 60;
    return text(stems[cycle % 10]) + text(branches[cycle % 12]);
}

QString dateText(const LunarDate& date)
{
    return yearName(date.year) + text(u"年") + monthName(date.month, date.leap) + dayName(date.day);
}

QString solarTermName(int term)
{
    static const char16_t* const names[] = {u"小寒", u"大寒", u"立春", u"雨水", u"惊蛰", u"春分",
                                            u"清明", u"谷雨", u"立夏", u"小满", u"芒种", u"夏至",
                                            u"小暑", u"大暑", u"立秋", u"处暑", u"白露", u"秋分",
                                            u"寒露", u"霜降", u"立冬", u"小雪", u"大雪", u"冬至"};
    return term >= 0 && term < 24 ? text(names[term]) : QString();
}

QString daysOccasion(const QDate& solar)
{
    const std::optional<LunarDate> day = toLunar(solar);
    if (!day) return {};
    QStringList found;
    if (!day->leap) {
        const bool lastOfYear = day->month == 12 && day->day == monthLength(day->year, 12, false);
        for (const Festival& festival : kFestivals) {
            const bool eve = festival.month == 12 && festival.day == 30;
            if (eve ? lastOfYear : festival.month == day->month && festival.day == day->day)
                found << text(festival.name);
        }
    }
    const QString term = solarTermName(solarTerm(solar));
    if (!term.isEmpty()) found << term;
    return found.join(u' ');
}

QString todayText(const QDate& solar)
{
    const std::optional<LunarDate> day = toLunar(solar);
    if (!day) return {};
    const QString occasion = daysOccasion(solar);
    return text(u"农历：") + dateText(*day) +
           (occasion.isEmpty() ? QString() : QString(u' ') + occasion);
}

} // namespace lunar
