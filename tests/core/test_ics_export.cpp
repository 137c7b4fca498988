#include "core/IcsExport.h"
#include "lunar/LunarCalendar.h"
#include "platform/Clock.h"

#include <QtTest>
#include <libical/ical.h>

using namespace core;
using Column = AffairRecord::Column;

namespace {

class DayClock : public platform::Clock {
public:
    QDate day{2026, 12, 6}; // a Sunday
    QDate today() const override { return day; }
    QDateTime now() const override { return QDateTime(day, QTime(9, 30)); }
};

AffairRecord record(Column column, const QString& value)
{
    AffairRecord r;
    r[Column::Affair] =
        QStringLiteral("时间点：2027-1-1   ---标记\r\n买菜\r\n第二行\r\n") + QString(88, u'-');
    r[Column::Weekday] = QStringLiteral("100"); // no weekday, as the editor stores it
    r[column] = value;
    return r;
}

struct Parsed {
    icalcomponent* root = nullptr;
    ~Parsed() { icalcomponent_free(root); }
    QList<icalcomponent*> events() const
    {
        QList<icalcomponent*> list;
        for (icalcomponent* e = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT))
            list << e;
        return list;
    }
};

QString propertyText(icalcomponent* event, icalproperty_kind kind)
{
    icalproperty* p = icalcomponent_get_first_property(event, kind);
    if (!p) return {};
    const icalvalue* value = icalproperty_get_value(p);
    // Texts come back unescaped, everything else as written.
    return QString::fromUtf8(icalvalue_isa(value) == ICAL_TEXT_VALUE
                                 ? icalvalue_get_text(value)
                                 : icalproperty_get_value_as_string(p));
}

} // namespace

class TestIcsExport : public QObject {
    Q_OBJECT
private slots:
    void mapping_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("rule");
        const auto row = [](const char* name, Column c, const char* value, const char* start,
                            const char* end, const char* rule) {
            QTest::newRow(name) << int(c) << QString::fromUtf8(value) << QString(start)
                                << QString(end) << QString(rule);
        };
        row("point date", Column::TimePoint, "2027-01-01", "20270101", "20270102", "");
        row("point timed", Column::TimePoint, "2027-01-01 14:30:00", "20270101T143000", "", "");
        row("day 31", Column::Day, "31", "20261231", "20270101", "FREQ=MONTHLY;BYMONTHDAY=31");
        row("day today", Column::Day, "6", "20261206", "20261207", "FREQ=MONTHLY;BYMONTHDAY=6");
        row("day as the due test reads it", Column::Day, " 0 7x", "20261207", "20261208",
            "FREQ=MONTHLY;BYMONTHDAY=7");
        row("day half is none", Column::Day, "6.5", "", "", "");
        row("month", Column::Month, "3", "20270301", "20270302", "FREQ=DAILY;BYMONTH=3");
        row("month now", Column::Month, "12", "20261206", "20261207", "FREQ=DAILY;BYMONTH=12");
        row("month 13 is none", Column::Month, "13", "", "", "");
        row("weekday Saturday", Column::Weekday, "6", "20261212", "20261213",
            "FREQ=WEEKLY;BYDAY=SA");
        row("weekday empty is Sunday", Column::Weekday, "", "20261206", "20261207",
            "FREQ=WEEKLY;BYDAY=SU");
        row("weekday 7 is none", Column::Weekday, "7", "", "", "");
        row("month-day", Column::MonthDay, "5-16", "20270516", "20270517",
            "FREQ=YEARLY;BYMONTHDAY=16;BYMONTH=5");
        row("month-day rounded", Column::MonthDay, "4.5-16", "20270416", "20270417",
            "FREQ=YEARLY;BYMONTHDAY=16;BYMONTH=4");
        row("29 February", Column::MonthDay, "2-29", "20280229", "20280301",
            "FREQ=YEARLY;BYMONTHDAY=29;BYMONTH=2");
        row("30 February is none", Column::MonthDay, "2-30", "", "", "");
        row("month-day without dash", Column::MonthDay, "5", "", "", "");
    }
    void mapping()
    {
        QFETCH(int, column);
        QFETCH(QString, value);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, rule);
        const IcsExport result = exportCalendar({record(Column(column), value)}, DayClock());
        Parsed parsed{icalparser_parse_string(result.calendar.constData())};
        QVERIFY(parsed.root);
        const auto events = parsed.events();
        QCOMPARE(events.size(), start.isEmpty() ? 0 : 1);
        if (start.isEmpty()) return;
        QCOMPARE(propertyText(events[0], ICAL_DTSTART_PROPERTY), start);
        QCOMPARE(propertyText(events[0], ICAL_DTEND_PROPERTY), end);
        QCOMPARE(propertyText(events[0], ICAL_RRULE_PROPERTY), rule);
        QCOMPARE(propertyText(events[0], ICAL_SUMMARY_PROPERTY), QStringLiteral("买菜"));
        QCOMPARE(propertyText(events[0], ICAL_DESCRIPTION_PROPERTY),
                 QStringLiteral("买菜\n第二行"));
    }

    void period_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("until");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        const auto row = [](const char* name, const char* from, const char* until,
                            const char* start, const char* end) {
            QTest::newRow(name) << QString(from) << QString(until) << QString(start)
                                << QString(end);
        };
        row("whole days", "2027-01-01", "2027-01-03", "20270101", "20270104");
        row("one day", "2027-01-01", "2027-01-01", "20270101", "20270102");
        row("start after midnight is due the next day", "2027-01-01 08:00:00", "2027-01-03",
            "20270102", "20270104");
        row("end after midnight still due that day", "2027-01-01", "2027-01-03 08:00:00",
            "20270101", "20270104");
        row("end before start", "2027-01-03", "2027-01-01", "", "");
        row("no end", "2027-01-03", "", "", "");
    }
    void period()
    {
        QFETCH(QString, from);
        QFETCH(QString, until);
        QFETCH(QString, start);
        QFETCH(QString, end);
        AffairRecord r = record(Column::Start, from);
        r[Column::End] = until.isEmpty() ? QString() : until;
        Parsed parsed{
            icalparser_parse_string(exportCalendar({r}, DayClock()).calendar.constData())};
        const auto events = parsed.events();
        QCOMPARE(events.size(), start.isEmpty() ? 0 : 1);
        if (start.isEmpty()) return;
        QCOMPARE(propertyText(events[0], ICAL_DTSTART_PROPERTY), start);
        QCOMPARE(propertyText(events[0], ICAL_DTEND_PROPERTY), end);
    }

    // Lunar schedules: dated events on Lumo's own days, or one Chinese-calendar rule.
    void lunar_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("lunarRule");
        QTest::addColumn<int>("events");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("rule");
        QTest::newRow("spring festival dated")
            << int(Column::LunarYearly) << "1-1" << false << 20 << "20270206"
            << "";
        QTest::newRow("leap month falls back in other years")
            << int(Column::LunarYearly) << "闰6-1" << false << 20 << "20270704"
            << "";
        QTest::newRow("yearly rule")
            << int(Column::LunarYearly) << "闰6-1" << true << 1 << "20270704"
            << "RSCALE=CHINESE;FREQ=YEARLY;BYMONTHDAY=1;BYMONTH=6L;SKIP=BACKWARD";
        QTest::newRow("monthly rule")
            << int(Column::LunarMonthly) << "15" << true << 1 << "20261223"
            << "RSCALE=CHINESE;FREQ=MONTHLY;BYMONTHDAY=15;SKIP=BACKWARD";
    }
    void lunar()
    {
        QFETCH(int, column);
        QFETCH(QString, value);
        QFETCH(bool, lunarRule);
        QFETCH(int, events);
        QFETCH(QString, first);
        QFETCH(QString, rule);
        const IcsExport result =
            exportCalendar({record(Column(column), value)}, DayClock(), lunarRule);
        Parsed parsed{icalparser_parse_string(result.calendar.constData())};
        const auto list = parsed.events();
        QCOMPARE(list.size(), events);
        QCOMPARE(propertyText(list[0], ICAL_DTSTART_PROPERTY), first);
        QCOMPARE(propertyText(list[0], ICAL_RRULE_PROPERTY), rule);
        QSet<QString> uids;
        for (icalcomponent* e : list)
            uids << propertyText(e, ICAL_UID_PROPERTY);
        QCOMPARE(uids.size(), events);
    }

    void lunarMonthlyOccurrences()
    {
        const IcsExport result =
            exportCalendar({record(Column::LunarMonthly, QStringLiteral("30"))}, DayClock());
        Parsed parsed{icalparser_parse_string(result.calendar.constData())};
        // Day 30 falls on the 29th in short months: one event per lunar month.
        const auto list = parsed.events();
        QVERIFY2(list.size() >= 245 && list.size() <= 250,
                 qPrintable(QString::number(list.size())));
        for (icalcomponent* e : list) {
            const icaltimetype t = icalcomponent_get_dtstart(e);
            const auto day = lunar::toLunar(QDate(t.year, t.month, t.day));
            QVERIFY(day->day == 30 ||
                    (day->day == 29 && lunar::monthLength(day->year, day->month, day->leap) == 29));
        }
    }

    // Identical records differ by their index; an unchanged record keeps its UID.
    void uids()
    {
        const AffairRecord a = record(Column::Day, QStringLiteral("5"));
        AffairRecord b = a;
        b[Column::Keyword] = QStringLiteral("家");
        const auto uidsOf = [](const std::vector<AffairRecord>& records,
                               const DayClock& clock = {}) {
            Parsed parsed{
                icalparser_parse_string(exportCalendar(records, clock).calendar.constData())};
            QStringList list;
            for (icalcomponent* e : parsed.events())
                list << propertyText(e, ICAL_UID_PROPERTY);
            return list;
        };
        const QStringList first = uidsOf({a, a, b});
        QCOMPARE(QSet<QString>(first.begin(), first.end()).size(), 3);
        DayClock later;
        later.day = later.day.addDays(40);
        QCOMPARE(uidsOf({a, a, b}, later), first);
        QCOMPARE(uidsOf({b}).first(), first[2]);
    }

    void contentProperties()
    {
        AffairRecord r = record(Column::TimePoint, QStringLiteral("2027-01-01"));
        r[Column::Keyword] = QStringLiteral("家务");
        r[Column::Contact] = QStringLiteral("张三");
        r[Column::Mobile] = QStringLiteral("13800000000");
        r[Column::Place] = QStringLiteral("菜场");
        r[Column::Address] = QString(); // null stays null through the stored value
        Parsed parsed{
            icalparser_parse_string(exportCalendar({r}, DayClock()).calendar.constData())};
        icalcomponent* e = parsed.events().value(0);
        QVERIFY(e);
        QCOMPARE(propertyText(e, ICAL_CATEGORIES_PROPERTY), QStringLiteral("家务"));
        QCOMPARE(propertyText(e, ICAL_LOCATION_PROPERTY), QStringLiteral("菜场"));
        QCOMPARE(propertyText(e, ICAL_CONTACT_PROPERTY),
                 QStringLiteral("联系人：张三  联系人手机：13800000000"));
        icalcomponent* alarm = icalcomponent_get_first_component(e, ICAL_VALARM_COMPONENT);
        QVERIFY(alarm);
        QCOMPARE(propertyText(alarm, ICAL_TRIGGER_PROPERTY), QStringLiteral("PT9H"));
        icalproperty* x = icalcomponent_get_first_property(e, ICAL_X_PROPERTY);
        QCOMPARE(QByteArray(icalproperty_get_x_name(x)), QByteArray("X-LUMO-STORED"));
        AffairRecord back;
        QVERIFY(readStoredValue(QByteArray(icalproperty_get_x(x)), back));
        QCOMPARE(back.cells, r.cells);
        QVERIFY(back[Column::Address].isNull());
        QVERIFY(!back[Column::Start].isNull() || r[Column::Start].isNull());
    }

    // The stored value carries every cell back as it was, whatever its characters.
    void storedValueRoundTrip_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::newRow("quotes and backslashes") << QStringLiteral("\"a\\b\\\"");
        QTest::newRow("line ends and tab") << QStringLiteral("a\r\nb\n\tc\r");
        QTest::newRow("control characters") << QString::fromUtf16(u"\u0001\u001f\u007f x");
        QTest::newRow("beyond the basic plane") << QStringLiteral("𠀀汉字");
        QTest::newRow("empty") << QStringLiteral("");
    }
    void storedValueRoundTrip()
    {
        QFETCH(QString, cell);
        AffairRecord r = record(Column::Keyword, cell);
        r[Column::Affair] = cell;
        AffairRecord back;
        QVERIFY(readStoredValue(storedValue(r), back));
        QCOMPARE(back.cells, r.cells);
    }

    // Lines of at most 75 octets, never splitting a character, and texts that come back whole.
    void foldAndEscape()
    {
        QString text;
        for (int i = 0; i < 60; ++i)
            text += QStringLiteral("长文本，含逗号,分号;反斜杠\\与𠀀");
        text += QStringLiteral("\n第二行");
        AffairRecord r = record(Column::TimePoint, QStringLiteral("2027-01-01"));
        r[Column::Affair] = text;
        const QByteArray calendar = exportCalendar({r}, DayClock()).calendar;
        for (const QByteArray& line : calendar.split('\n')) {
            QVERIFY2(line.size() <= 76, line.constData()); // with its CR
            QVERIFY(QString::fromUtf8(line).toUtf8() == line);
        }
        Parsed parsed{icalparser_parse_string(calendar.constData())};
        QCOMPARE(propertyText(parsed.events()[0], ICAL_DESCRIPTION_PROPERTY), text);
    }

    // The export writes some lines itself; libical, reading the file back and
    // writing it again, must give the same bytes.
    void sameAsLibical_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        const QString awkward = QStringLiteral("含逗号,分号;冒号: 空格 反斜杠\\与𠀀\n第二行");
        QTest::newRow("point") << int(Column::TimePoint) << "2027-01-01" << awkward;
        QTest::newRow("timed point") << int(Column::TimePoint) << "2027-01-01 14:30:00" << awkward;
        QTest::newRow("weekday") << int(Column::Weekday) << "3" << awkward.repeated(9);
        QTest::newRow("month-day") << int(Column::MonthDay) << "2-29" << QString();
        QTest::newRow("lunar") << int(Column::LunarYearly) << "8-15" << QStringLiteral("中秋");
        // Stored values of every length modulo a folded line.
        for (int n = 0; n < 80; ++n)
            QTest::addRow("length %d", n) << int(Column::Day) << "5" << QString(n, u'x');
    }
    void sameAsLibical()
    {
        QFETCH(int, column);
        QFETCH(QString, value);
        QFETCH(QString, text);
        AffairRecord r = record(Column(column), value);
        r[Column::Affair] = text;
        r[Column::Keyword] = QStringLiteral("家务"); // a comma would make two categories
        r[Column::Place] = text.left(30);
        r[Column::Contact] = QStringLiteral("张三");
        const QByteArray calendar = exportCalendar({r}, DayClock()).calendar;
        Parsed parsed{icalparser_parse_string(calendar.constData())};
        char* again = icalcomponent_as_ical_string_r(parsed.root);
        const QByteArray libical(again);
        icalmemory_free_buffer(again);
        QCOMPARE(calendar.split('\n'), libical.split('\n'));
    }
};

QTEST_GUILESS_MAIN(TestIcsExport)
#include "test_ics_export.moc"
