#include "core/IcsExport.h"
#include "core/FileProblem.h"

#include "core/AffairText.h"
#include "core/DueList.h"
#include "lunar/LunarSchedule.h"
#include "platform/Clock.h"
#include "store/DateText.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <cmath>
#include <libical/ical.h>
#include <map>
#include <memory>
#include <optional>

namespace core {

namespace {

using Column = AffairRecord::Column;

struct IcalFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, IcalFree>;

icaltimetype dateOf(const QDate& d)
{
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

icaltimetype dateTimeOf(const QDateTime& dt)
{
    icaltimetype t = icaltime_null_time();
    t.year = dt.date().year();
    t.month = dt.date().month();
    t.day = dt.date().day();
    t.hour = dt.time().hour();
    t.minute = dt.time().minute();
    t.second = dt.time().second();
    return t;
}

// The whole number a numeric schedule cell reads as, when it is one.
std::optional<int> wholeNumber(const QString& cell)
{
    const double value = leadingNumber(cell);
    if (!(value >= 0.0 && value <= 31.0) || value != std::floor(value)) return std::nullopt;
    return int(value);
}

// A month-day cell as the due test reads it: each side rounded.
std::optional<std::pair<int, int>> monthDay(const QString& cell)
{
    const qsizetype dash = cell.indexOf(u'-');
    if (dash < 0) return std::nullopt;
    const double month = std::nearbyint(leadingNumber(cell.left(dash)));
    const double day = std::nearbyint(leadingNumber(cell.mid(dash + 1)));
    // 2000 is a leap year, so 2-29 counts.
    if (!(month >= 1 && month <= 12 && day >= 1 && day <= 31) ||
        !QDate::isValid(2000, int(month), int(day)))
        return std::nullopt;
    return std::pair{int(month), int(day)};
}

std::optional<QDateTime> storedDate(const QString& cell)
{
    if (cell.isEmpty()) return std::nullopt;
    return store::fromStoredDate(cell);
}

struct Schedule {
    const char* kind;
    QDate start;
    QDate endExclusive; // all-day events; a timed event has none
    QTime time;         // valid for a timed event
    std::optional<icalrecurrencetype> rule;
    QDate occurrence; // lunar dated events: the UID tells them apart
};

icalrecurrencetype emptyRule(icalrecurrencetype_frequency frequency)
{
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.freq = frequency;
    return rule;
}

void setOne(short* list, int value)
{
    list[0] = short(value);
    list[1] = ICAL_RECURRENCE_ARRAY_MAX;
}

QDate firstOnOrAfter(const QDate& from, const auto& due)
{
    // Every kind is due within eight years (29 February) or not at all.
    const QDate limit = from.addYears(9);
    for (QDate d = from; d < limit; d = d.addDays(1))
        if (due(d)) return d;
    return {};
}

void addNumericSchedules(const AffairRecord& r, const QDate& today, std::vector<Schedule>& out)
{
    if (const auto d = wholeNumber(r[Column::Day]); d && *d >= 1) {
        icalrecurrencetype rule = emptyRule(ICAL_MONTHLY_RECURRENCE);
        setOne(rule.by_month_day, *d);
        QDate first = today;
        while (first.day() != *d)
            first = first.addDays(1);
        out.push_back({"day", first, first.addDays(1), {}, rule, {}});
    }
    if (const auto m = wholeNumber(r[Column::Month]); m && *m >= 1 && *m <= 12) {
        icalrecurrencetype rule = emptyRule(ICAL_DAILY_RECURRENCE);
        setOne(rule.by_month, *m);
        const QDate first =
            today.month() == *m ? today : QDate(today.year() + (today.month() > *m ? 1 : 0), *m, 1);
        out.push_back({"month", first, first.addDays(1), {}, rule, {}});
    }
    if (const auto w = wholeNumber(r[Column::Weekday]); w && *w <= 6) {
        icalrecurrencetype rule = emptyRule(ICAL_WEEKLY_RECURRENCE);
        setOne(rule.by_day, *w + 1); // ICAL_SUNDAY_WEEKDAY is 1
        const QDate first = today.addDays((*w - weekdayNumber(today) + 7) % 7);
        out.push_back({"weekday", first, first.addDays(1), {}, rule, {}});
    }
    if (const auto md = monthDay(r[Column::MonthDay])) {
        icalrecurrencetype rule = emptyRule(ICAL_YEARLY_RECURRENCE);
        setOne(rule.by_month, md->first);
        setOne(rule.by_month_day, md->second);
        const QDate first = firstOnOrAfter(
            today, [&](const QDate& d) { return d.month() == md->first && d.day() == md->second; });
        out.push_back({"monthday", first, first.addDays(1), {}, rule, {}});
    }
}

void addDateSchedules(const AffairRecord& r, std::vector<Schedule>& out)
{
    if (const auto point = storedDate(r[Column::TimePoint])) {
        const QDate day = point->date();
        if (point->time() == QTime(0, 0))
            out.push_back({"point", day, day.addDays(1), {}, std::nullopt, {}});
        else
            out.push_back({"point", day, {}, point->time(), std::nullopt, {}});
    }
    const auto start = storedDate(r[Column::Start]);
    const auto end = storedDate(r[Column::End]);
    if (start && end) {
        // A start after midnight is later than its day's midnight: due from the next day.
        const QDate first = start->time() == QTime(0, 0) ? start->date() : start->date().addDays(1);
        if (first <= end->date())
            out.push_back({"period", first, end->date().addDays(1), {}, std::nullopt, {}});
    }
}

// The days a lunar schedule is due on, from `today` on for kLunarExportYears.
struct LunarDays {
    QDate from;
    std::vector<lunar::DayFacts> facts;
    explicit LunarDays(const QDate& today) : from(today)
    {
        for (QDate d = today; d < today.addYears(kLunarExportYears); d = d.addDays(1))
            facts.push_back(lunar::factsOf(d));
    }
};

void addLunarSchedules(const AffairRecord& r, const QDate& today, bool lunarRule,
                       std::optional<LunarDays>& days, std::vector<Schedule>& out)
{
    const auto yearly = lunar::readYearly(r[Column::LunarYearly]);
    const auto monthly = lunar::readMonthly(r[Column::LunarMonthly]);
    if (!yearly && !monthly) return;
    if (!days) days.emplace(today);
    const auto add = [&](const char* kind, const auto& due, const icalrecurrencetype& rule) {
        std::vector<QDate> dates;
        for (size_t i = 0; i < days->facts.size(); ++i)
            if (due(days->facts[i])) dates.push_back(days->from.addDays(qint64(i)));
        if (lunarRule && !dates.empty())
            out.push_back({kind, dates.front(), dates.front().addDays(1), {}, rule, {}});
        else if (!lunarRule)
            for (const QDate& d : dates)
                out.push_back({kind, d, d.addDays(1), {}, std::nullopt, d});
    };
    static char chinese[] = "CHINESE";
    if (yearly) {
        icalrecurrencetype rule = emptyRule(ICAL_YEARLY_RECURRENCE);
        rule.rscale = chinese;
        rule.skip = ICAL_SKIP_BACKWARD; // day 30 and a missing leap month fall back as in Lumo
        setOne(rule.by_month, yearly->month | (yearly->leap ? 0x1000 : 0));
        setOne(rule.by_month_day, yearly->day);
        add(
            "lunaryear", [&](const lunar::DayFacts& f) { return lunar::dueYearly(*yearly, f); },
            rule);
    }
    if (monthly) {
        icalrecurrencetype rule = emptyRule(ICAL_MONTHLY_RECURRENCE);
        rule.rscale = chinese;
        rule.skip = ICAL_SKIP_BACKWARD;
        setOne(rule.by_month_day, *monthly);
        add(
            "lunarmonth", [&](const lunar::DayFacts& f) { return lunar::dueMonthly(*monthly, f); },
            rule);
    }
}

QString contactOf(const AffairRecord& r)
{
    QStringList parts;
    const auto part = [&](const char16_t* label, Column c) {
        if (!r[c].trimmed().isEmpty()) parts << QString::fromUtf16(label) + r[c];
    };
    part(u"联系人：", Column::Contact);
    part(u"联系人手机：", Column::Mobile);
    part(u"联系人电话：", Column::Phone);
    part(u"家庭住址：", Column::Address);
    return parts.join(QStringLiteral("  "));
}

QByteArray uidOf(const QByteArray& key, const Schedule& s)
{
    QByteArray uid = key + '-' + s.kind;
    if (s.occurrence.isValid()) uid += '-' + s.occurrence.toString(u"yyyyMMdd").toLatin1();
    return uid + "@lumo";
}

// The texts of one record, as UTF-8.
struct EventTexts {
    QByteArray summary, description, keyword, contact, place;
};

// The lines of one record's texts, made once and shared by its events.
struct TextLines {
    QByteArray event;  // SUMMARY to LOCATION
    QByteArray stored; // X-LUMO-STORED
    QByteArray alarm;  // the alarm's DESCRIPTION
};

struct PropertyFree {
    void operator()(icalproperty* p) const { icalproperty_free(p); }
};
using Property = std::unique_ptr<icalproperty, PropertyFree>;

void appendLine(QByteArray& out, icalproperty* property)
{
    char* text = icalproperty_as_ical_string_r(property);
    out.append(text);
    icalmemory_free_buffer(text);
}

// Writes events property by property, as libical writes a component, into
// properties made once and set for each event; lines that are the same for
// many events are libical's text made once. A large export spent half its
// time making and freeing components.
class EventWriter {
public:
    explicit EventWriter(const icaltimetype& stamp)
    {
        const Property line(icalproperty_new_dtstamp(stamp));
        appendLine(stampLine, line.get());
    }

    TextLines linesOf(const EventTexts& texts, QByteArray stored)
    {
        TextLines lines;
        lines.stored = std::move(stored);
        // An empty SUMMARY is no property libical reads back.
        appendText(lines.event, summary.get(), texts.summary);
        const qsizetype descriptionAt = lines.event.size();
        appendText(lines.event, description.get(), texts.description);
        const QByteArray& alarm = texts.summary.isEmpty() ? QByteArray("Lumo") : texts.summary;
        // The same property with the same text: libical's line is the same.
        if (alarm == texts.description)
            lines.alarm = lines.event.sliced(descriptionAt);
        else
            appendText(lines.alarm, alarmText.get(), alarm);
        appendText(lines.event, categories.get(), texts.keyword);
        appendText(lines.event, contact.get(), texts.contact);
        appendText(lines.event, location.get(), texts.place);
        return lines;
    }

    void append(QByteArray& out, const TextLines& lines, const QByteArray& uid, const Schedule& s)
    {
        out += "BEGIN:VEVENT\r\n";
        icalproperty_set_uid(uidProperty.get(), uid.constData());
        appendLine(out, uidProperty.get());
        out += stampLine;
        if (s.time.isValid()) {
            icalproperty_set_dtstart(start.get(), dateTimeOf(QDateTime(s.start, s.time)));
            appendLine(out, start.get());
        } else {
            icalproperty_set_dtstart(start.get(), dateOf(s.start));
            appendLine(out, start.get());
            icalproperty_set_dtend(end.get(), dateOf(s.endExclusive));
            appendLine(out, end.get());
        }
        if (s.rule) {
            icalproperty_set_rrule(rule.get(), *s.rule);
            appendLine(out, rule.get());
        }
        out += lines.event;
        out += lines.stored;
        out += alarmHead(s);
        out += lines.alarm;
        out += "END:VALARM\r\nEND:VEVENT\r\n";
    }

private:
    static void appendText(QByteArray& out, icalproperty* p, const QByteArray& text)
    {
        if (text.isEmpty()) return;
        icalproperty_set_value(p, icalvalue_new_text(text.constData()));
        appendLine(out, p);
    }

    // BEGIN:VALARM, ACTION and TRIGGER: 09:00 of the event's day, counted from its start.
    const QByteArray& alarmHead(const Schedule& s)
    {
        const int seconds =
            9 * 3600 - (s.time.isValid() ? s.time.msecsSinceStartOfDay() / 1000 : 0);
        auto found = alarmHeads.find(seconds);
        if (found != alarmHeads.end()) return found->second;
        const Component alarm(icalcomponent_new_valarm());
        icalcomponent_add_property(alarm.get(), icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger{};
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(seconds);
        icalcomponent_add_property(alarm.get(), icalproperty_new_trigger(trigger));
        char* text = icalcomponent_as_ical_string_r(alarm.get());
        QByteArray head(text);
        icalmemory_free_buffer(text);
        head.chop(qstrlen("END:VALARM\r\n"));
        return alarmHeads.emplace(seconds, head).first->second;
    }

    QByteArray stampLine;
    std::map<int, QByteArray> alarmHeads;
    Property uidProperty{icalproperty_new_uid("")};
    Property start{icalproperty_new_dtstart(icaltime_null_date())};
    Property end{icalproperty_new_dtend(icaltime_null_date())};
    Property rule{icalproperty_new_rrule(emptyRule(ICAL_DAILY_RECURRENCE))};
    Property summary{icalproperty_new_summary("")};
    Property description{icalproperty_new_description("")};
    Property categories{icalproperty_new_categories("")};
    Property contact{icalproperty_new_contact("")};
    Property location{icalproperty_new_location("")};
    Property alarmText{icalproperty_new_description("")};
};

// Control characters other than tab and line ends are no text a calendar takes.
QString printable(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
    return text;
}

} // namespace

QString exportedText(const IcsExport& result, const QString& path)
{
    return QStringLiteral("已把 %1 条事务导出为 %2 个日历事件，写入 %3。")
        .arg(result.affairs)
        .arg(result.events)
        .arg(QDir::toNativeSeparators(path));
}

QString cannotWriteText(const QString& path, const QFileDevice& file)
{
    return QStringLiteral("无法写入文件 %1：%2")
        .arg(QDir::toNativeSeparators(path), writeProblem(path, file));
}

QString affairTextOf(const QString& stored)
{
    QString text = stored;
    const QString marker = kAffairMarker + QStringLiteral("\r\n");
    const qsizetype at = text.indexOf(marker);
    if (at >= 0) text = text.mid(at + marker.size());
    const QString dashes = QStringLiteral("\r\n") + QString(88, u'-');
    if (text.endsWith(dashes)) text.chop(dashes.size());
    return text;
}

QByteArray storedValue(const AffairRecord& record)
{
    return storedValue(Utf8Record(record));
}

QByteArray storedValue(const Utf8Record& record)
{
    // Written directly: QJsonDocument took a tenth of a large export.
    QByteArray json = "[";
    json.reserve(4096);
    for (int c = 0; c < AffairRecord::ColumnCount; ++c) {
        if (json.size() > 1) json += ',';
        if (record.record.cells[c].isNull()) {
            json += "null";
            continue;
        }
        json += '"';
        const QByteArray& utf8 = record.cells[c];
        qsizetype plain = 0; // start of the bytes not yet copied
        for (qsizetype i = 0; i < utf8.size(); ++i) {
            const auto u = static_cast<unsigned char>(utf8[i]);
            if (u >= 0x20 && u != '"' && u != '\\') continue;
            json.append(utf8.constData() + plain, i - plain);
            plain = i + 1;
            static const char hex[] = "0123456789abcdef";
            json += '\\';
            if (u == '"' || u == '\\')
                json += char(u);
            else if (u == '\r' || u == '\n')
                json += u == '\r' ? 'r' : 'n';
            else
                json.append("u00").append(hex[u >> 4]).append(hex[u & 15]);
        }
        json.append(utf8.constData() + plain, utf8.size() - plain);
        json += '"';
    }
    json += ']';
    return json.toBase64();
}

QByteArray storedProperty(const QByteArray& value)
{
    // libical counts the line end in, so a value filling its last line exactly
    // is followed by an empty continuation line.
    const QByteArrayView name = "X-LUMO-STORED:";
    const qsizetype length = value.size() + 1;
    QByteArray line;
    line.reserve(name.size() + length + 3 * (length / (kFoldedLine - 1) + 2));
    line += name;
    if (name.size() + length >= kFoldedLine) line += "\r\n ";
    qsizetype at = 0;
    for (; length - at >= kFoldedLine; at += kFoldedLine - 1) {
        line.append(value.constData() + at,
                    std::min<qsizetype>(kFoldedLine - 1, value.size() - at));
        line += "\r\n ";
    }
    line.append(value.constData() + at, value.size() - at);
    return line + "\r\n";
}

bool readStoredValue(QByteArrayView value, AffairRecord& record)
{
    const auto decoded = QByteArray::fromBase64Encoding(value.toByteArray(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return false;
    const QJsonDocument document = QJsonDocument::fromJson(*decoded);
    const QJsonArray cells = document.array();
    if (!document.isArray() || cells.size() != AffairRecord::ColumnCount) return false;
    for (int c = 0; c < AffairRecord::ColumnCount; ++c) {
        if (!cells[c].isNull() && !cells[c].isString()) return false;
        record.cells[c] = cells[c].isNull() ? QString() : cells[c].toString();
        if (cells[c].isString() && record.cells[c].isNull()) record.cells[c] = QStringLiteral("");
    }
    return true;
}

IcsExport exportCalendar(const std::vector<AffairRecord>& records, const platform::Clock& clock,
                         QIODevice& out, bool lunarRule)
{
    const QDate today = clock.today();
    const QDateTime now = clock.now().toUTC();
    icaltimetype stamp = dateTimeOf(now);
    stamp.zone = icaltimezone_get_utc_timezone();

    Component calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Lumo//Lumo//ZH"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    char* head = icalcomponent_as_ical_string_r(calendar.get());
    QByteArray chunk(head);
    icalmemory_free_buffer(head);
    const QByteArray end = "END:VCALENDAR\r\n";
    chunk.chop(end.size());

    IcsExport result;
    // Written in pieces, so a large book never has its whole calendar in memory.
    const auto flush = [&](qsizetype above) {
        if (chunk.size() <= above) return;
        if (result.written && out.write(chunk) != chunk.size()) result.written = false;
        chunk.clear();
    };
    RecordKeys keys;
    std::optional<LunarDays> lunarDays;
    EventWriter writer(stamp);
    for (const AffairRecord& r : records) {
        // Every record counts among identical ones, with events or without.
        const Utf8Record utf8(r);
        const QByteArray key = keys.next(utf8);
        std::vector<Schedule> schedules;
        addDateSchedules(r, schedules);
        addNumericSchedules(r, today, schedules);
        addLunarSchedules(r, today, lunarRule, lunarDays, schedules);
        if (schedules.empty()) continue;
        const QString description = printable(
            affairTextOf(r[Column::Affair]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        EventTexts texts;
        texts.description = description.toUtf8();
        texts.summary = QStringView(description).left(description.indexOf(u'\n')).toUtf8();
        texts.keyword = utf8.cells[Column::Keyword];
        texts.contact = printable(contactOf(r)).toUtf8();
        texts.place = utf8.cells[Column::Place];
        const TextLines lines = writer.linesOf(texts, storedProperty(storedValue(utf8)));
        ++result.affairs;
        for (const Schedule& s : schedules) {
            writer.append(chunk, lines, uidOf(key, s), s);
            ++result.events;
        }
        flush(1 << 20);
    }
    chunk += end;
    flush(0);
    return result;
}

IcsExport exportCalendar(const std::vector<AffairRecord>& records, const platform::Clock& clock,
                         bool lunarRule)
{
    QByteArray calendar;
    QBuffer buffer(&calendar);
    buffer.open(QIODevice::WriteOnly);
    IcsExport result = exportCalendar(records, clock, buffer, lunarRule);
    buffer.close();
    result.calendar = std::move(calendar);
    return result;
}

} // namespace core
