#include "lunar/LunarCalendar.h"

#include <lunar-date/lunar-date.h>

#include <QByteArray>
#include <QList>
#include <libintl.h>
#include <mutex>

namespace lunar {

namespace {

// The library's untranslated solar-term names, 小寒 first. Only used to tell
// which term a day starts; the words shown come from our own tables.
const char* const kTermKeys[24] = {
    "Xiǎohán", "Dàhán",   "Lìchūn",    "Yǔshuǐ",      "Jīngzhé", "Chūnfēn", "Qīngmíng", "Gǔyǔ",
    "Lìxià",   "Xiǎomǎn", "Mángzhòng", "Xiàzhì",      "Xiǎoshǔ", "Dàshǔ",   "Lìqīu",    "Chùshǔ",
    "Báilòu",  "Qīufēn",  "Hánlòu",    "Shuāngjiàng", "Lìdōng",  "Xiǎoxuě", "Dàxuě",    "Dōngzhì"};

// One converter for the process. The library keeps its results in the
// object, so every use holds the lock from setting a date to reading it.
class Converter {
public:
    static Converter& instance()
    {
        static Converter converter;
        return converter;
    }
    std::mutex lock;
    ::LunarDate* date; // the library's object, not ours

    bool setSolar(const QDate& solar)
    {
        GError* error = nullptr;
        lunar_date_set_solar_date(date, GDateYear(solar.year()), GDateMonth(solar.month()),
                                  GDateDay(solar.day()), 0, &error);
        return consume(error);
    }
    bool setLunar(const lunar::LunarDate& day)
    {
        GError* error = nullptr;
        lunar_date_set_lunar_date(date, GDateYear(day.year), GDateMonth(day.month),
                                  GDateDay(day.day), 0, day.leap, &error);
        return consume(error);
    }
    QByteArray format(const char* pattern)
    {
        gchar* text = lunar_date_strftime(date, pattern);
        const QByteArray result(text);
        g_free(text);
        return result;
    }
    QByteArray holidays()
    {
        gchar* text = lunar_date_get_holiday(date, "\n");
        const QByteArray result(text);
        g_free(text);
        return result;
    }

private:
    Converter() : date(lunar_date_new())
    {
        // Its names follow the process locale (pinyin under C, Chinese under
        // zh_CN); unbound from its translations it always gives the same keys.
        bindtextdomain("lunar-date", "/nonexistent/lumo");
    }
    static bool consume(GError* error)
    {
        if (!error) return true;
        g_error_free(error);
        return false;
    }
};

// "2025-*6-1" or "2025-7-25": three numbers, a star marking a leap month.
std::optional<lunar::LunarDate> readNumbers(const QByteArray& text, bool withLeap)
{
    const QList<QByteArray> parts = text.split('-');
    if (parts.size() != 3) return std::nullopt;
    lunar::LunarDate day;
    QByteArray month = parts[1];
    if (withLeap && month.startsWith('*')) {
        day.leap = true;
        month.remove(0, 1);
    }
    bool ok[3];
    day.year = parts[0].toInt(&ok[0]);
    day.month = month.toInt(&ok[1]);
    day.day = parts[2].toInt(&ok[2]);
    if (!(ok[0] && ok[1] && ok[2])) return std::nullopt;
    return day;
}

} // namespace

bool inRange(const QDate& solar)
{
    return solar.isValid() && solar >= kFirstDay && solar <= kLastDay;
}

std::optional<LunarDate> toLunar(const QDate& solar)
{
    if (!inRange(solar)) return std::nullopt;
    Converter& c = Converter::instance();
    const std::lock_guard guard(c.lock);
    if (!c.setSolar(solar)) return std::nullopt;
    return readNumbers(c.format("%(nian)-%(yue)-%(ri)"), true);
}

QDate toSolar(const LunarDate& date)
{
    if (date.year < kFirstDay.year() - 1 || date.year > kLastDay.year() || date.month < 1 ||
        date.month > 12 || date.day < 1 || date.day > 30)
        return {};
    Converter& c = Converter::instance();
    std::optional<LunarDate> solar;
    {
        const std::lock_guard guard(c.lock);
        if (!c.setLunar(date)) return {};
        solar = readNumbers(c.format("%(year)-%(month)-%(day)"), false);
    }
    if (!solar) return {};
    const QDate day(solar->year, solar->month, solar->day);
    // The library accepts a day 30 that the month does not have and runs on
    // into the next month: only a date that converts back is one.
    if (!inRange(day) || toLunar(day) != date) return {};
    return day;
}

int monthLength(int year, int month, bool leap)
{
    if (toSolar({year, month, leap, 30}).isValid()) return 30;
    return toSolar({year, month, leap, 29}).isValid() ? 29 : 0;
}

int leapMonth(int year)
{
    for (int month = 1; month <= 12; ++month)
        if (toSolar({year, month, true, 1}).isValid()) return month;
    return 0;
}

int solarTerm(const QDate& solar)
{
    if (!inRange(solar)) return -1;
    // Each solar month holds two terms, the first before its 15th; the
    // library only confirms the day. It cuts long names short and runs on
    // into the next term's, so a name's beginning is all that is compared.
    const int term = (solar.month() - 1) * 2 + (solar.day() >= 15 ? 1 : 0);
    const QByteArray key = QByteArray(kTermKeys[term]).left(8);
    Converter& c = Converter::instance();
    const std::lock_guard guard(c.lock);
    if (!c.setSolar(solar)) return -1;
    for (const QByteArray& name : c.holidays().split('\n'))
        if (name.startsWith(key)) return term;
    return -1;
}

} // namespace lunar
