#include "core/DueList.h"

#include "lunar/LunarSchedule.h"
#include "store/Connection.h"
#include "store/DateText.h"
#include "store/Recordset.h"
#include "store/Scan.h"
#include "store/StoreError.h"

#include <QByteArrayView>
#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace core {

namespace {

// The due tests read cells in the store's own form: UTF-8 text, dates as
// "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss". A large book is then evaluated
// without building a string or a date per cell.

struct Day {
    explicit Day(const QDate& date)
        : iso(date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1()), day(date.day()),
          month(date.month()), weekday(weekdayNumber(date))
    {
    }
    QByteArray iso;
    int day, month, weekday;
};

bool isBlank(unsigned c)
{
    // Carriage return is not among them: it ends the number.
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

// Reads "0" followed by the text as far as it forms a number; works on
// UTF-16 and UTF-8 alike, since only ASCII characters can belong to it.
template <typename Char> double readNumber(const Char* text, qsizetype size)
{
    using Unit = std::make_unsigned_t<Char>;
    // Nearly every stored value is a short run of plain digits.
    if (size <= 9) {
        int whole = 0;
        qsizetype i = 0;
        for (; i < size && isDigit(Unit(text[i])); ++i)
            whole = whole * 10 + int(Unit(text[i]) - '0');
        if (i == size) return whole;
    }
    thread_local std::string digits;
    digits.assign(1, '0');
    enum class Part { Mantissa, Fraction, ExponentMark, Exponent } part = Part::Mantissa;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned c = Unit(text[i]);
        if (isBlank(c)) continue;
        if (isDigit(c)) {
            if (part == Part::ExponentMark) part = Part::Exponent;
            digits.push_back(char(c));
        } else if (c == '.' && part == Part::Mantissa) {
            part = Part::Fraction;
            digits.push_back('.');
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') &&
                   (part == Part::Mantissa || part == Part::Fraction)) {
            part = Part::ExponentMark;
            digits.push_back('e');
        } else if ((c == '+' || c == '-') && part == Part::ExponentMark && digits.back() == 'e') {
            digits.push_back(char(c));
        } else {
            break;
        }
    }
    // An exponent mark without digits adds nothing.
    while (digits.back() == 'e' || digits.back() == '+' || digits.back() == '-')
        digits.pop_back();
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond a double: no month, day or weekday can equal it.
        const bool tiny = digits.find("e-") != std::string::npos;
        return tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return value;
}

double readNumber(QByteArrayView utf8)
{
    return readNumber(utf8.data(), utf8.size());
}

// The part is rounded to a 16-bit whole number, halves to even; a part out
// of that range can never name a month or day.
std::optional<int> wholePart(QByteArrayView utf8)
{
    const double rounded = std::nearbyint(readNumber(utf8));
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
    return int(rounded);
}

// Compares the date part of a stored date with `day`: -1 before, 0 on, 1
// after; nothing when the text is no stored date. A time of day is ignored,
// or an affair at 8:00 would never be due.
std::optional<int> compareDates(QByteArrayView stored, const Day& day)
{
    const qsizetype size = stored.size();
    if (size != 10 && size != 19) return std::nullopt;
    const char* s = stored.data();
    const auto digit = [s](int at) { return unsigned(s[at] - '0') <= 9; };
    const auto number = [s](int at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); };
    if (!(digit(0) && digit(1) && digit(2) && digit(3) && s[4] == '-' && digit(5) && digit(6) &&
          s[7] == '-' && digit(8) && digit(9)))
        return std::nullopt;
    if (!QDate::isValid(number(0) * 100 + number(2), number(5), number(8))) return std::nullopt;
    if (size == 19 && (!(s[10] == ' ' && digit(11) && digit(12) && s[13] == ':' && digit(14) &&
                         digit(15) && s[16] == ':' && digit(17) && digit(18)) ||
                       number(11) > 23 || number(14) > 59 || number(17) > 59))
        return std::nullopt;
    // Fixed-width ISO dates order as their text does.
    const int order = std::memcmp(s, day.iso.constData(), 10);
    return order == 0 ? 0 : (order < 0 ? -1 : 1);
}

bool pointDue(QByteArrayView point, const Day& day)
{
    return compareDates(point, day) == 0;
}

bool periodDue(QByteArrayView start, QByteArrayView end, const Day& day)
{
    const std::optional<int> from = compareDates(start, day);
    const std::optional<int> until = compareDates(end, day);
    return from && until && *from <= 0 && *until >= 0;
}

bool numberDue(QByteArrayView text, int number)
{
    return readNumber(text) == double(number);
}

bool monthDayDue(QByteArrayView text, const Day& day)
{
    if (text.isEmpty()) return false;
    const qsizetype dash = text.indexOf('-');
    if (dash < 0) return false;
    const std::optional<int> month = wholePart(text.first(dash));
    const std::optional<int> dayOfMonth = wholePart(text.sliced(dash + 1));
    return month && dayOfMonth && *month == day.month && *dayOfMonth == day.day;
}

// A value as the store keeps it; null stays null.
QByteArray storedForm(const QVariant& value)
{
    if (value.isNull()) return QByteArray();
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return store::toStoredDate(value.toDateTime()).toUtf8();
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    default: {
        const QByteArray text = value.toString().toUtf8();
        return text.isNull() ? QByteArray("") : text;
    }
    }
}

} // namespace

double leadingNumber(const QString& text)
{
    return readNumber(text.utf16(), text.size());
}

double leadingNumber(const QVariant& value)
{
    return value.isNull() ? 0.0 : leadingNumber(value.toString());
}

bool dueOnTimePoint(const QVariant& timePoint, const QDate& today)
{
    return pointDue(storedForm(timePoint), Day(today));
}

bool dueInPeriod(const QVariant& start, const QVariant& end, const QDate& today)
{
    return periodDue(storedForm(start), storedForm(end), Day(today));
}

bool dueOnDayOfMonth(const QVariant& day, const QDate& today)
{
    return numberDue(storedForm(day), today.day());
}

bool dueInMonth(const QVariant& month, const QDate& today)
{
    return numberDue(storedForm(month), today.month());
}

bool dueOnWeekday(const QVariant& weekday, const QDate& today)
{
    return numberDue(storedForm(weekday), weekdayNumber(today));
}

bool dueOnMonthDay(const QVariant& monthDay, const QDate& today)
{
    return monthDayDue(storedForm(monthDay), Day(today));
}

int weekdayNumber(const QDate& date)
{
    return date.dayOfWeek() % 7;
}

QString weekdayText(const QDate& date)
{
    static const char16_t* const names[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};
    return QStringLiteral("今天是:星期") + QString::fromUtf16(names[weekdayNumber(date)]);
}

QString dueListOf(const store::Recordset& affairs, const QDate& today)
{
    const auto column = [&](const char16_t* name) {
        const int index = affairs.columnIndex(QString::fromUtf16(name));
        if (index < 0)
            throw store::StoreError(QStringLiteral("缺少列：") + QString::fromUtf16(name));
        return index;
    };
    const int text = column(u"要事"), point = column(u"时间点"), start = column(u"起始时间"),
              end = column(u"结束时间"), day = column(u"每日时间"), month = column(u"每月时间"),
              weekday = column(u"每周时间"), monthDay = column(u"每月每日时间");
    // A book from before the lunar schedules has neither column: both read as empty.
    const int lunarYearly = affairs.columnIndex(QStringLiteral("农历每年时间"));
    const int lunarMonthly = affairs.columnIndex(QStringLiteral("农历每月时间"));
    const auto cell = [&](int r, int c) { return c < 0 ? QByteArrayView() : affairs.stored(r, c); };
    const Day on(today);
    const lunar::DayFacts lunarDay = lunar::factsOf(today);
    QString list;
    for (int r = 0; r < affairs.recordCount(); ++r) {
        const int hits = int(pointDue(affairs.stored(r, point), on)) +
                         int(periodDue(affairs.stored(r, start), affairs.stored(r, end), on)) +
                         int(numberDue(affairs.stored(r, day), on.day)) +
                         int(numberDue(affairs.stored(r, month), on.month)) +
                         int(numberDue(affairs.stored(r, weekday), on.weekday)) +
                         int(monthDayDue(affairs.stored(r, monthDay), on)) +
                         int(lunar::dueYearly(cell(r, lunarYearly), lunarDay)) +
                         int(lunar::dueMonthly(cell(r, lunarMonthly), lunarDay));
        if (hits == 0) continue;
        // One entry per passing test; the entries of one record are alike.
        const QString entry = QString::fromUtf8(affairs.stored(r, text)) + kEntryEnd;
        for (int i = 0; i < hits; ++i)
            list += entry;
    }
    return list;
}

QString evaluateDueList(store::Connection& connection, const QDate& today)
{
    // The schedule columns come from their covering index when it is there,
    // so a large book is judged without reading a single affair text; only
    // the due rows' texts are fetched, in the order the book lists them.
    // One read transaction for both passes: otherwise every fetched text
    // takes and drops the file lock again.
    struct ReadTransaction {
        store::Connection& c;
        bool began;
        explicit ReadTransaction(store::Connection& connection)
            : c(connection), began(connection.beginReading())
        {
        }
        ~ReadTransaction()
        {
            if (began) c.endReading();
        }
    } transaction(connection);
    // A book from before the lunar schedules, opened read-only, keeps its
    // columns: both lunar ones then read as empty.
    store::Scan columns(connection,
                        QStringLiteral("select count(*) from pragma_table_info('mp') "
                                       "where name in ('农历每年时间', '农历每月时间')"));
    const bool lunarColumns = columns.next() && columns.integer(0) == 2;
    store::Scan schedules(
        connection,
        QStringLiteral("select rowid, 时间点, 起始时间, 结束时间, 每日时间, 每月时间, 每周时间, "
                       "每月每日时间, %1 from mp")
            .arg(lunarColumns ? QStringLiteral("农历每年时间, 农历每月时间")
                              : QStringLiteral("'', ''")));
    const Day on(today);
    const lunar::DayFacts lunarDay = lunar::factsOf(today);
    std::vector<std::pair<qint64, int>> due; // rowid, passing tests
    while (schedules.next()) {
        const int hits =
            int(pointDue(schedules.raw(1), on)) +
            int(periodDue(schedules.raw(2), schedules.raw(3), on)) +
            int(numberDue(schedules.raw(4), on.day)) + int(numberDue(schedules.raw(5), on.month)) +
            int(numberDue(schedules.raw(6), on.weekday)) + int(monthDayDue(schedules.raw(7), on)) +
            int(lunar::dueYearly(schedules.raw(8), lunarDay)) +
            int(lunar::dueMonthly(schedules.raw(9), lunarDay));
        if (hits > 0) due.emplace_back(schedules.integer(0), hits);
    }
    std::sort(due.begin(), due.end());

    QString list;
    store::Scan text(connection, QStringLiteral("select 要事 from mp where rowid = ?"));
    for (const auto& [rowid, hits] : due) {
        text.rewind();
        text.bind(1, rowid);
        if (!text.next()) continue;
        // The entries of one record are all alike, so test order needs no
        // tracking: one entry per passing test.
        const QString entry = text.text(0) + kEntryEnd;
        for (int i = 0; i < hits; ++i)
            list += entry;
    }
    return list;
}

} // namespace core
