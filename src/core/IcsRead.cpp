#include "core/AffairText.h"
#include "core/DueList.h"
#include "core/IcsExport.h"
#include "core/IcsImport.h"
#include "lunar/LunarCalendar.h"
#include "lunar/LunarSchedule.h"
#include "store/DateText.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QTimeZone>
#include <libical/ical.h>
#include <memory>
#include <optional>

namespace core {

namespace {

using Column = AffairRecord::Column;

struct IcalFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};

// Why an event cannot become an affair; thrown while one event is read.
struct Skip {
    QString reason;
};

int count(const short* list)
{
    int n = 0;
    while (n < ICAL_BY_DAY_SIZE && list[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

QString cleanText(const char* utf8)
{
    QString text = QString::fromUtf8(utf8 ? utf8 : "");
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
    return text;
}

QString textOf(icalcomponent* event, icalproperty_kind kind)
{
    icalproperty* p = icalcomponent_get_first_property(event, kind);
    if (!p) return {};
    const icalvalue* value = icalproperty_get_value(p);
    return cleanText(value && icalvalue_isa(value) == ICAL_TEXT_VALUE
                         ? icalvalue_get_text(value)
                         : icalproperty_get_value_as_string(p));
}

// A date or a local date and time; other time zones than the local one are refused.
struct When {
    QDate date;
    QTime time; // invalid for a date
};

// `t` as read from `property` (its time zone parameter counts).
When whenOf(const icaltimetype& t, icalproperty* property, const char* name)
{
    const QDate date(t.year, t.month, t.day);
    if (icaltime_is_null_time(t) || !date.isValid())
        throw Skip{QStringLiteral("%1 不是有效的日期").arg(QLatin1String(name))};
    if (t.is_date) return {date, {}};
    const QTime time(t.hour, t.minute, t.second);
    if (!time.isValid()) throw Skip{QStringLiteral("%1 的时刻无效").arg(QLatin1String(name))};
    if (icaltime_is_utc(t)) {
        const QDateTime local = QDateTime(date, time, QTimeZone::utc()).toLocalTime();
        return {local.date(), local.time()};
    }
    icalparameter* zone = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (zone) {
        const QByteArray id = icalparameter_get_tzid(zone);
        if (id != QTimeZone::systemTimeZoneId())
            throw Skip{
                QStringLiteral("时区 %1 不是本机的时区 %2，无法准确换算")
                    .arg(QString::fromUtf8(id), QString::fromUtf8(QTimeZone::systemTimeZoneId()))};
    }
    return {date, time};
}

When whenOf(icalproperty* property, const char* name)
{
    return whenOf(icalproperty_get_datetime_with_component(property, nullptr), property, name);
}

QString storedDay(const QDate& d, const QTime& t = QTime(0, 0))
{
    return store::toStoredDate(QDateTime(d, t.isValid() ? t : QTime(0, 0)));
}

void checkRuleParts(const icalrecurrencetype& r)
{
    if (r.freq == ICAL_NO_RECURRENCE) throw Skip{QStringLiteral("重复规则（RRULE）无法识别")};
    if (r.interval > 1)
        throw Skip{QStringLiteral("重复间隔 INTERVAL=%1，Lumo 只能每次都重复").arg(r.interval)};
    if (count(r.by_second) || count(r.by_minute) || count(r.by_hour) || count(r.by_year_day) ||
        count(r.by_week_no) || count(r.by_set_pos))
        throw Skip{
            QStringLiteral("重复规则含有 Lumo 无法表示的部分（按时、分、秒、年中日、周数或序号）")};
}

int onlyOne(const short* list, const char* part)
{
    const int n = count(list);
    if (n > 1)
        throw Skip{QStringLiteral("重复规则的 %1 有多个值，Lumo 一条提醒只能有一个").arg(part)};
    return n;
}

void lunarRule(const icalrecurrencetype& r, const QDate& start, AffairRecord& a)
{
    if (count(r.by_day)) throw Skip{QStringLiteral("农历重复规则含有 BYDAY，Lumo 无法表示")};
    const std::optional<lunar::LunarDate> first = lunar::toLunar(start);
    const int day = onlyOne(r.by_month_day, "BYMONTHDAY") ? r.by_month_day[0]
                    : first                               ? first->day
                                                          : 0;
    if (day < 1 || day > 30) throw Skip{QStringLiteral("农历日 %1 无效").arg(day)};
    if (r.freq == ICAL_MONTHLY_RECURRENCE && !count(r.by_month)) {
        a[Column::LunarMonthly] = QString::number(day);
        return;
    }
    if (r.freq != ICAL_YEARLY_RECURRENCE)
        throw Skip{QStringLiteral("农历重复规则只能按年或按月重复")};
    int month = first ? first->month : 0;
    bool leap = first && first->leap;
    if (onlyOne(r.by_month, "BYMONTH")) {
        month = icalrecurrencetype_month_month(r.by_month[0]);
        leap = icalrecurrencetype_month_is_leap(r.by_month[0]);
    }
    if (month < 1 || month > 12) throw Skip{QStringLiteral("农历月 %1 无效").arg(month)};
    a[Column::LunarYearly] =
        (leap ? QStringLiteral("闰") : QString()) + QStringLiteral("%1-%2").arg(month).arg(day);
}

void solarRule(const icalrecurrencetype& r, const QDate& start, AffairRecord& a)
{
    const bool days = onlyOne(r.by_month_day, "BYMONTHDAY"),
               months = onlyOne(r.by_month, "BYMONTH");
    const int day = days ? r.by_month_day[0] : start.day();
    const int month = months ? r.by_month[0] : start.month();
    if (day < 1 || month < 1 || month > 12)
        throw Skip{QStringLiteral("从月底倒数的日子（负数 BYMONTHDAY）Lumo 无法表示")};
    const int weekdays = count(r.by_day);
    switch (r.freq) {
    case ICAL_YEARLY_RECURRENCE:
        if (weekdays) break;
        if (!QDate::isValid(2000, month, day))
            throw Skip{QStringLiteral("%1 月没有 %2 日").arg(month).arg(day)};
        a[Column::MonthDay] = QStringLiteral("%1-%2").arg(month).arg(day);
        return;
    case ICAL_MONTHLY_RECURRENCE:
        if (weekdays || months) break;
        a[Column::Day] = QString::number(day);
        return;
    case ICAL_WEEKLY_RECURRENCE: {
        if (days || months) break;
        if (weekdays && icalrecurrencetype_day_position(r.by_day[0]) != 0) break;
        a[Column::Weekday] =
            QString::number(weekdays ? int(icalrecurrencetype_day_day_of_week(r.by_day[0])) - 1
                                     : weekdayNumber(start));
        return;
    }
    case ICAL_DAILY_RECURRENCE:
        if (months && !days && !weekdays) {
            a[Column::Month] = QString::number(month);
            return;
        }
        if (!months) throw Skip{QStringLiteral("每天重复，Lumo 没有这样的提醒时间")};
        break;
    default:
        throw Skip{QStringLiteral("按时、分、秒重复，Lumo 没有这样的提醒时间")};
    }
    throw Skip{QStringLiteral("重复规则的组合 Lumo 无法准确表示")};
}

// A single event: a date, a date and time, or a period of days.
void dates(icalcomponent* event, const When& start, AffairRecord& a)
{
    if (start.time.isValid()) {
        a[Column::TimePoint] = storedDay(start.date, start.time);
        return;
    }
    QDate last = start.date;
    icalproperty* endProperty = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
    icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
    if (endProperty) {
        last = whenOf(endProperty, "DTEND").date.addDays(-1); // the end is exclusive
    } else if (duration) {
        const icaldurationtype d = icalproperty_get_duration(duration);
        if (d.is_neg) throw Skip{QStringLiteral("持续时间（DURATION）为负")};
        last = start.date.addDays(qint64(icaldurationtype_as_int(d)) / 86400 - 1);
    }
    if (last > start.date) {
        a[Column::Start] = storedDay(start.date);
        a[Column::End] = storedDay(last);
    } else {
        a[Column::TimePoint] = storedDay(start.date);
    }
}

// Lumo's reminders never end, so a rule that does becomes its dates, when it
// has no more than this many.
constexpr int kMostOccurrences = 400;

// What one event becomes: one affair, or several when its rule is expanded.
struct Schedules {
    std::vector<AffairRecord> records; // their schedule columns
    std::vector<QByteArray> parts;     // with several: what tells each apart in its UID
    QString expansion;                 // how the event was expanded, for the report
};

// A rule with COUNT or UNTIL as dated affairs, one per occurrence (libical expands it).
void finiteRule(icalproperty* startProperty, const icalrecurrencetype& r, const AffairRecord& a,
                Schedules& out)
{
    if (r.rscale)
        throw Skip{QStringLiteral("农历重复规则带有次数或截止日期（COUNT/UNTIL），无法准确展开")};
    const icaltimetype start = icalproperty_get_datetime_with_component(startProperty, nullptr);
    std::unique_ptr<icalrecur_iterator, void (*)(icalrecur_iterator*)> it(
        icalrecur_iterator_new(r, start), icalrecur_iterator_free);
    if (!it) throw Skip{QStringLiteral("重复规则无法展开")};
    for (icaltimetype t = icalrecur_iterator_next(it.get()); !icaltime_is_null_time(t);
         t = icalrecur_iterator_next(it.get())) {
        if (out.records.size() == kMostOccurrences)
            throw Skip{QStringLiteral("重复有次数或截止日期（COUNT/UNTIL），但超过 %1 "
                                      "次，没有逐一展开；Lumo 的提醒没有终止日")
                           .arg(kMostOccurrences)};
        const When when = whenOf(t, startProperty, "DTSTART");
        AffairRecord& dated = out.records.emplace_back(a);
        dated[Column::TimePoint] = storedDay(when.date, when.time);
        out.parts.push_back(
            when.date.toString(u"yyyyMMdd").toLatin1() +
            (when.time.isValid() ? when.time.toString(u"'T'HHmmss").toLatin1() : QByteArray()));
    }
    if (out.records.empty()) throw Skip{QStringLiteral("重复规则一次也不发生")};
    out.expansion =
        QStringLiteral("重复 %1 次，展开为 %1 个日期（时间点）").arg(out.records.size());
}

// FREQ=WEEKLY on several plain weekdays: one weekly affair per weekday.
bool severalWeekdays(const icalrecurrencetype& r, const AffairRecord& a, Schedules& out)
{
    const int n = count(r.by_day);
    if (r.freq != ICAL_WEEKLY_RECURRENCE || n < 2 || count(r.by_month_day) || count(r.by_month))
        return false;
    QStringList names;
    for (int i = 0; i < n; ++i) {
        if (icalrecurrencetype_day_position(r.by_day[i]) != 0) return false;
        const int weekday = int(icalrecurrencetype_day_day_of_week(r.by_day[i])) - 1; // 0 = SU
        AffairRecord& one = out.records.emplace_back(a);
        one[Column::Weekday] = QString::number(weekday);
        out.parts.push_back("weekday" + QByteArray::number(weekday));
        names << QStringLiteral("星期") + QStringLiteral("日一二三四五六").at(weekday);
    }
    out.expansion = QStringLiteral("每周 %1 天，拆成 %1 条每周提醒（%2）")
                        .arg(n)
                        .arg(names.join(QStringLiteral("、")));
    return true;
}

// The schedule columns of one event.
Schedules schedulesOf(icalcomponent* event, const AffairRecord& empty)
{
    Schedules out;
    AffairRecord a = empty;
    icalproperty* startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!startProperty) throw Skip{QStringLiteral("没有开始日期（DTSTART）")};
    const When start = whenOf(startProperty, "DTSTART");
    if (icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY))
        throw Skip{QStringLiteral("含有附加日期（RDATE），Lumo 无法表示")};
    icalproperty* ruleProperty = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    if (ruleProperty) {
        if (icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
            throw Skip{QStringLiteral("有多条重复规则（RRULE）")};
        if (icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY))
            throw Skip{QStringLiteral("含有排除日期（EXDATE），Lumo 的提醒无法跳过某一天")};
        const icalrecurrencetype r = icalproperty_get_rrule(ruleProperty);
        if (r.freq != ICAL_NO_RECURRENCE && (r.count > 0 || !icaltime_is_null_time(r.until))) {
            finiteRule(startProperty, r, a, out);
            return out;
        }
        checkRuleParts(r);
        if (r.rscale && qstricmp(r.rscale, "CHINESE") != 0)
            throw Skip{QStringLiteral("历法 %1 不受支持，只认农历（CHINESE）").arg(r.rscale)};
        if (!r.rscale && severalWeekdays(r, a, out)) return out;
        if (r.rscale)
            lunarRule(r, start.date, a);
        else
            solarRule(r, start.date, a);
    } else {
        dates(event, start, a);
    }
    out.records.push_back(a);
    return out;
}

QString displayDate(const QString& stored)
{
    return stored.isNull() ? QString() : store::storedDateDisplayText(stored).value_or(stored);
}

// The stored text as the editor composes it from its boxes.
void compose(icalcomponent* event, AffairRecord& a)
{
    const QString summary = textOf(event, ICAL_SUMMARY_PROPERTY);
    const QString description = textOf(event, ICAL_DESCRIPTION_PROPERTY);
    QString text = description.isEmpty()             ? summary
                   : description.startsWith(summary) ? description
                                                     : summary + u'\n' + description;
    AffairBoxes b;
    b.affair = text.replace(u'\n', QStringLiteral("\r\n"));
    b.sjd = displayDate(a[Column::TimePoint]);
    b.qssj = displayDate(a[Column::Start]);
    b.jssj = displayDate(a[Column::End]);
    b.lxr = a[Column::Contact];
    b.lxdd = a[Column::Place];
    b.mysj = a[Column::Month];
    b.mzsj = a[Column::Weekday];
    b.mrsj = a[Column::Day];
    b.mymrsj = a[Column::MonthDay];
    b.nlmnsj = a[Column::LunarYearly];
    b.nlmysj = a[Column::LunarMonthly];
    a[Column::Affair] = composeStoredAffair(b);
}

AffairRecord emptyRecord()
{
    AffairRecord a;
    for (int c = 0; c < AffairRecord::ColumnCount; ++c)
        if (c != Column::TimePoint && c != Column::Start && c != Column::End)
            a.cells[c] = QStringLiteral("");
    a[Column::Weekday] = kNoWeekday; // an empty weekday would be due every Sunday
    return a;
}

// The affairs of one event (the `number`th of the file), or why it has none.
void readEvent(icalcomponent* event, int number, std::vector<EventAffair>& out)
{
    EventAffair result;
    result.number = number;
    result.uid = textOf(event, ICAL_UID_PROPERTY).toUtf8();
    result.title = textOf(event, ICAL_SUMMARY_PROPERTY).section(u'\n', 0, 0).left(40);
    if (result.uid.isEmpty()) {
        // Without a UID the content names the event, so a second import still finds it.
        char* text = icalcomponent_as_ical_string_r(event);
        result.uid = QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex() + "@content";
        icalmemory_free_buffer(text);
    }
    try {
        for (icalproperty* x = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); x;
             x = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
            if (qstrcmp(icalproperty_get_x_name(x), "X-LUMO-STORED") != 0) continue;
            if (readStoredValue(QByteArray(icalproperty_get_x(x)), result.record)) {
                // "<record key>-<kind>...@lumo": the events of one affair
                result.group = result.uid.left(result.uid.indexOf('-')) + "@lumo";
                out.push_back(std::move(result));
                return;
            }
        }
        if (icalproperty* error = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY))
            throw Skip{QStringLiteral("这一事件有格式错误：%1")
                           .arg(QString::fromUtf8(icalproperty_get_xlicerror(error)))};
        AffairRecord empty = emptyRecord();
        empty[Column::Keyword] = textOf(event, ICAL_CATEGORIES_PROPERTY);
        empty[Column::Contact] = textOf(event, ICAL_CONTACT_PROPERTY);
        empty[Column::Place] = textOf(event, ICAL_LOCATION_PROPERTY);
        Schedules schedules = schedulesOf(event, empty);
        for (size_t i = 0; i < schedules.records.size(); ++i) {
            EventAffair one = result;
            one.record = std::move(schedules.records[i]);
            compose(event, one.record);
            if (schedules.records.size() > 1) {
                one.part = int(i);
                one.uid += '#' + schedules.parts[i];
                one.expansion = schedules.expansion;
            }
            out.push_back(std::move(one));
        }
        return;
    } catch (const Skip& skip) {
        result.reason = skip.reason;
    }
    out.push_back(std::move(result));
}

// The file's bytes as UTF-8 without NUL characters, or a refusal.
QByteArray normalised(QByteArray file, QString& refusal, QString& note)
{
    const qsizetype nuls = file.count('\0');
    if (nuls) {
        file.removeIf([](char c) { return c == '\0'; });
        note += QStringLiteral("文件中的 %1 个空字符（NUL）已去掉。").arg(nuls);
    }
    if (file.startsWith("\xEF\xBB\xBF")) file.remove(0, 3);
    const QByteArrayView trimmed = QByteArrayView(file).trimmed(); // no copy of a large file
    if (!trimmed.startsWith("BEGIN:VCALENDAR")) {
        refusal = QStringLiteral("文件不是 iCalendar 日历文件（应以 BEGIN:VCALENDAR 开头）。");
        return {};
    }
    if (!trimmed.endsWith("END:VCALENDAR")) {
        refusal = QStringLiteral("文件不完整（没有以 END:VCALENDAR 结尾），可能没有下载或复制完。");
        return {};
    }
    if (!file.isValidUtf8()) {
        // Older Chinese software writes GB 18030 (GBK, GB 2312).
        QStringDecoder legacy("GB18030");
        const QString text = legacy.isValid() ? legacy.decode(file) : QString();
        if (!legacy.isValid() || legacy.hasError()) {
            refusal = QStringLiteral("文件既不是 UTF-8 编码，也不是 GB18030 编码，无法读取。");
            return {};
        }
        note += QStringLiteral("文件不是 UTF-8 编码，已按 GB18030（GBK）读取。");
        file = text.toUtf8();
    }
    return file;
}

// Where the next line starting with `name` (as iCalendar names go, in any
// case) begins, from `from` on; -1 when there is none.
qsizetype lineStarting(QByteArrayView file, QByteArrayView name, qsizetype from)
{
    for (qsizetype at = from; at >= 0 && at < file.size();) {
        const QByteArrayView line = file.sliced(at);
        if (line.size() >= name.size() && qstrnicmp(line.data(), name.data(), name.size()) == 0 &&
            (line.size() == name.size() || line[name.size()] == '\r' || line[name.size()] == '\n' ||
             line[name.size()] == ' '))
            return at;
        const qsizetype end = file.indexOf('\n', at);
        at = end < 0 ? -1 : end + 1;
    }
    return -1;
}

// The text of each event, BEGIN:VEVENT to END:VEVENT (a folded line never
// starts with either), so that libical parses one event at a time: the tree
// of a whole file of 100,000 events took 800 MB.
std::vector<QByteArrayView> eventTexts(QByteArrayView file)
{
    std::vector<QByteArrayView> texts;
    for (qsizetype begin = lineStarting(file, "BEGIN:VEVENT", 0); begin >= 0;) {
        const qsizetype next = lineStarting(file, "BEGIN:VEVENT", file.indexOf('\n', begin) + 1);
        qsizetype end = lineStarting(file, "END:VEVENT", begin);
        if (end < 0 || (next >= 0 && end > next)) {
            // No end of its own: libical reads what there is and marks the faults.
            end = next >= 0 ? next : file.size();
        } else {
            end = file.indexOf('\n', end);
            end = end < 0 ? file.size() : end + 1;
        }
        texts.push_back(file.sliced(begin, end - begin));
        begin = next;
    }
    return texts;
}

} // namespace

QByteArray checkedCalendar(QByteArray file, QString& refusal, QString& note)
{
    file = normalised(std::move(file), refusal, note);
    return refusal.isEmpty() ? file : QByteArray();
}

void forEachEvent(const QByteArray& calendar, const std::function<void(EventAffair&&)>& take)
{
    int number = 0;
    std::vector<EventAffair> affairs;
    for (const QByteArrayView text : eventTexts(calendar)) {
        ++number;
        std::unique_ptr<icalcomponent, IcalFree> event(
            icalparser_parse_string(text.toByteArray().constData()));
        if (event && icalcomponent_isa(event.get()) == ICAL_VEVENT_COMPONENT) {
            readEvent(event.get(), number, affairs);
        } else {
            EventAffair unreadable;
            unreadable.number = number;
            unreadable.uid = QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex();
            unreadable.reason = QStringLiteral("这一事件无法解析");
            affairs.push_back(std::move(unreadable));
        }
        for (EventAffair& affair : affairs)
            take(std::move(affair));
        affairs.clear();
    }
}

} // namespace core
