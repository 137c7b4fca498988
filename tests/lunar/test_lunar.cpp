#include "lunar/LunarCalendar.h"
#include "lunar/LunarSchedule.h"
#include "lunar/LunarWords.h"

#include <QtTest>

using namespace lunar;

namespace {

LunarDate lunarDay(int year, int month, int day, bool leap = false)
{
    return {year, month, leap, day};
}

} // namespace

class TestLunar : public QObject {
    Q_OBJECT
private slots:
    void knownDates_data()
    {
        QTest::addColumn<QDate>("solar");
        QTest::addColumn<LunarDate>("lunar");
        const auto row = [](const char* name, QDate solar, LunarDate lunar) {
            QTest::newRow(name) << solar << lunar;
        };
        row("春节 2025", QDate(2025, 1, 29), lunarDay(2025, 1, 1));
        row("春节 2026", QDate(2026, 2, 17), lunarDay(2026, 1, 1));
        row("春节 2027", QDate(2027, 2, 6), lunarDay(2027, 1, 1));
        row("春节 2030", QDate(2030, 2, 3), lunarDay(2030, 1, 1));
        row("春节 2057", QDate(2057, 2, 4), lunarDay(2057, 1, 1));
        row("春节 2097", QDate(2097, 2, 12), lunarDay(2097, 1, 1));
        row("中秋 2025", QDate(2025, 10, 6), lunarDay(2025, 8, 15));
        row("八月初八 2027", QDate(2027, 9, 8), lunarDay(2027, 8, 8));
        row("闰六月初一 2025", QDate(2025, 7, 25), lunarDay(2025, 6, 1, true));
        row("十月初一 2018", QDate(2018, 11, 8), lunarDay(2018, 10, 1));
        row("九月三十 2018", QDate(2018, 11, 7), lunarDay(2018, 9, 30));
        row("first day, in the lunar year 1900", QDate(1901, 1, 1), lunarDay(1900, 11, 11));
        row("last day", QDate(2100, 12, 31), lunarDay(2100, 12, 1));
    }
    void knownDates()
    {
        QFETCH(QDate, solar);
        QFETCH(LunarDate, lunar);
        QCOMPARE(toLunar(solar), std::optional(lunar));
        QCOMPARE(toSolar(lunar), solar);
    }

    void datesThatDoNotExist_data()
    {
        QTest::addColumn<LunarDate>("lunar");
        QTest::newRow("八月三十 of 2025 (29 days)") << lunarDay(2025, 8, 30);
        QTest::newRow("闰六月三十 of 2025 (29 days)") << lunarDay(2025, 6, 30, true);
        QTest::newRow("闰七月 of 2025") << lunarDay(2025, 7, 1, true);
        QTest::newRow("month 13") << lunarDay(2025, 13, 1);
        QTest::newRow("day 31") << lunarDay(2025, 6, 31);
        QTest::newRow("before 1901") << lunarDay(1900, 11, 10);
        QTest::newRow("after 2100") << lunarDay(2100, 12, 29);
    }
    void datesThatDoNotExist()
    {
        QFETCH(LunarDate, lunar);
        QVERIFY(!toSolar(lunar).isValid());
    }

    void solarOutsideRange_data()
    {
        QTest::addColumn<QDate>("solar");
        QTest::newRow("1900-12-31") << QDate(1900, 12, 31);
        QTest::newRow("2101-01-01") << QDate(2101, 1, 1);
        QTest::newRow("invalid") << QDate();
    }
    void solarOutsideRange()
    {
        QFETCH(QDate, solar);
        QCOMPARE(toLunar(solar), std::nullopt);
        QVERIFY(!factsOf(solar).valid);
        QCOMPARE(todayText(solar), QString());
    }

    void everyDayRoundTrips()
    {
        int days = 0;
        for (QDate day = kFirstDay; day <= kLastDay; day = day.addDays(1), ++days) {
            const std::optional<LunarDate> lunar = toLunar(day);
            if (!lunar || toSolar(*lunar) != day)
                QFAIL(qPrintable(day.toString(Qt::ISODate) + " does not round-trip"));
        }
        QCOMPARE(days, 73049);
    }

    void monthsOfAYear_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("leap");
        QTest::addColumn<QList<int>>("lengths"); // twelve months, then the leap month
        QTest::newRow("2025, 闰六月")
            << 2025 << 6 << QList<int>{30, 29, 30, 29, 29, 30, 30, 29, 30, 30, 30, 29, 29};
        QTest::newRow("2026, none")
            << 2026 << 0 << QList<int>{30, 29, 30, 29, 29, 30, 29, 29, 30, 30, 30, 29};
    }
    void monthsOfAYear()
    {
        QFETCH(int, year);
        QFETCH(int, leap);
        QFETCH(QList<int>, lengths);
        QCOMPARE(leapMonth(year), leap);
        QList<int> found;
        for (int month = 1; month <= 12; ++month)
            found << monthLength(year, month, false);
        if (leap) found << monthLength(year, leap, true);
        QCOMPARE(found, lengths);
    }

    void words_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("expected");
        QTest::newRow("冬月") << monthName(11) << "冬月";
        QTest::newRow("闰腊月") << monthName(12, true) << "闰腊月";
        QTest::newRow("初十") << dayName(10) << "初十";
        QTest::newRow("十一") << dayName(11) << "十一";
        QTest::newRow("二十") << dayName(20) << "二十";
        QTest::newRow("廿一") << dayName(21) << "廿一";
        QTest::newRow("三十") << dayName(30) << "三十";
        QTest::newRow("day 31 has no name") << dayName(31) << "";
        QTest::newRow("甲子 1984") << yearName(1984) << "甲子";
        QTest::newRow("庚子 1900") << yearName(1900) << "庚子";
        QTest::newRow("癸亥 2043") << yearName(2043) << "癸亥";
    }
    void words()
    {
        QFETCH(QString, words);
        QFETCH(QString, expected);
        QCOMPARE(words, expected);
    }

    void todayLine_data()
    {
        QTest::addColumn<QDate>("solar");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain day") << QDate(2026, 12, 6) << "农历：丙午年十月廿八";
        QTest::newRow("solar term") << QDate(2026, 12, 7) << "农历：丙午年十月廿九 大雪";
        QTest::newRow("term at a month's end") << QDate(2018, 11, 7) << "农历：戊戌年九月三十 立冬";
        QTest::newRow("春节") << QDate(2026, 2, 17) << "农历：丙午年正月初一 春节";
        QTest::newRow("除夕 on 廿九") << QDate(2026, 2, 16) << "农历：乙巳年腊月廿九 除夕";
        QTest::newRow("not 除夕 the day before") << QDate(2026, 2, 15) << "农历：乙巳年腊月廿八";
        QTest::newRow("除夕 on 三十") << QDate(2024, 2, 9) << "农历：癸卯年腊月三十 除夕";
        QTest::newRow("中秋") << QDate(2025, 10, 6) << "农历：乙巳年八月十五 中秋";
        QTest::newRow("no festival in a leap month")
            << QDate(2025, 8, 8) << "农历：乙巳年闰六月十五";
        QTest::newRow("清明, a term only") << QDate(2025, 4, 4) << "农历：乙巳年三月初七 清明";
    }
    void todayLine()
    {
        QFETCH(QDate, solar);
        QFETCH(QString, line);
        QCOMPARE(todayText(solar), line);
    }

    // Every term's key must be known: a year walks through all 24 in order.
    void solarTermsOfAYear()
    {
        QStringList terms;
        for (QDate day(2026, 1, 1); day.year() == 2026; day = day.addDays(1))
            if (solarTerm(day) >= 0) terms << solarTermName(solarTerm(day));
        QCOMPARE(terms.join(u' '), "小寒 大寒 立春 雨水 惊蛰 春分 清明 谷雨 立夏 小满 芒种 夏至 "
                                   "小暑 大暑 立秋 处暑 白露 秋分 寒露 霜降 立冬 小雪 大雪 冬至");
    }

    void values_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("yearly"); // the summary's words, empty when refused
        QTest::addColumn<QString>("monthly");
        const auto row = [](const char* name, const char* text, const char* yearly,
                            const char* monthly) {
            QTest::newRow(name) << QString(text) << QString(yearly) << QString(monthly);
        };
        row("8-8", "8-8", "八月初八", "");
        row("zeros and blanks", " 08-08 ", "八月初八", "");
        row("闰6-1", "闰6-1", "闰六月初一", "");
        row("12-30", "12-30", "腊月三十", "");
        for (const char* refused : {"13-1", "8-31", "8-0", "0-8", "abc", "闰"})
            row(refused, refused, "", "");
        row("闰 before a blank", "闰 6-1", "", "");
        row("no day", "8-", "", "");
        row("no month", "-8", "", "");
        row("two dashes", "8-8-8", "", "");
        row("full-width digits", "８-８", "", "");
        row("huge", "99999999999-1", "", "");
        row("day 0", "0", "", "");
        row("day 1", "1", "", "初一");
        row("day 15 with zero", " 015", "", "十五");
        row("day 30", "30", "", "三十");
        row("day 31", "31", "", "");
        row("day -1", "-1", "", "");
        row("day 1.5", "1.5", "", "");
        row("empty", "", "", "");
    }
    void values()
    {
        QFETCH(QString, text);
        QFETCH(QString, yearly);
        QFETCH(QString, monthly);
        QCOMPARE(readYearly(text).has_value(), !yearly.isEmpty());
        QCOMPARE(yearlyWords(text), yearly.isEmpty() ? text : yearly);
        QCOMPARE(readMonthly(text).has_value(), !monthly.isEmpty());
        QCOMPARE(monthlyWords(text), monthly.isEmpty() ? text : monthly);
    }

    void due_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QDate>("solar");
        QTest::addColumn<bool>("due");
        const auto row = [](const char* name, const char* kind, const char* value, QDate solar,
                            bool due) {
            QTest::newRow(name) << kind << QString(value) << solar << due;
        };
        row("八月初八 on its day", "yearly", "8-8", QDate(2027, 9, 8), true);
        row("八月初八 the day before", "yearly", "8-8", QDate(2027, 9, 7), false);
        row("八月初八 a year later", "yearly", "08-08", QDate(2028, 9, 26), true);
        row("除夕 12-30 on 廿九 of a short 腊月", "yearly", "12-30", QDate(2026, 2, 16), true);
        row("12-29 on 廿九 of a short 腊月", "yearly", "12-29", QDate(2026, 2, 16), true);
        row("12-30 not on 廿九 of a long 腊月", "yearly", "12-30", QDate(2024, 2, 8), false);
        row("12-30 on 三十 of a long 腊月", "yearly", "12-30", QDate(2024, 2, 9), true);
        row("8-30 on 廿九 of a short 八月", "yearly", "8-30", QDate(2025, 10, 20), true);
        row("闰6-1 in the leap month", "yearly", "闰6-1", QDate(2025, 7, 25), true);
        row("闰6-1 not in the ordinary month before it", "yearly", "闰6-1", QDate(2025, 6, 25),
            false);
        row("闰6-1 in the ordinary month of a year without", "yearly", "闰6-1", QDate(2026, 7, 14),
            true);
        row("闰6-30 on 廿九 of a leap month of 29 days", "yearly", "闰6-30", QDate(2025, 8, 22),
            true);
        row("6-1 in the ordinary month", "yearly", "6-1", QDate(2025, 6, 25), true);
        row("6-1 never in the leap month after it", "yearly", "6-1", QDate(2025, 7, 25), false);
        row("6-15 never in the leap month after it", "yearly", "6-15", QDate(2025, 8, 8), false);
        row("yearly 13-1 never", "yearly", "13-1", QDate(2026, 2, 17), false);
        row("yearly abc never", "yearly", "abc", QDate(2026, 2, 17), false);
        row("yearly on the first day", "yearly", "11-11", QDate(1901, 1, 1), true);
        row("yearly after the range", "yearly", "12-2", QDate(2101, 1, 1), false);
        row("十五 in an ordinary month", "monthly", "15", QDate(2025, 10, 6), true);
        row("十五 in a leap month", "monthly", "15", QDate(2025, 8, 8), true);
        row("十五 on 十四", "monthly", "15", QDate(2025, 10, 5), false);
        row("30 on 廿九 of a short month", "monthly", "30", QDate(2025, 10, 20), true);
        row("30 not on 廿九 of a long month", "monthly", "30", QDate(2025, 7, 23), false);
        row("30 on 三十", "monthly", "30", QDate(2025, 7, 24), true);
        row("29 on 廿九 of a long month", "monthly", "29", QDate(2025, 7, 23), true);
        row("monthly 31 never", "monthly", "31", QDate(2025, 7, 24), false);
        row("monthly 0 never", "monthly", "0", QDate(2025, 7, 24), false);
        row("monthly empty never", "monthly", "", QDate(2025, 7, 24), false);
        row("monthly on the first day", "monthly", "11", QDate(1901, 1, 1), true);
        row("monthly before the range", "monthly", "10", QDate(1900, 12, 31), false);
        row("monthly after the range", "monthly", "2", QDate(2101, 1, 1), false);
    }
    void due()
    {
        QFETCH(QString, kind);
        QFETCH(QString, value);
        QFETCH(QDate, solar);
        QFETCH(bool, due);
        const DayFacts facts = factsOf(solar);
        const QByteArray stored = value.toUtf8();
        QCOMPARE(kind == "yearly" ? dueYearly(stored, facts) : dueMonthly(stored, facts), due);
    }

    // Conversions from several threads at once get their own answers.
    void threadsShareTheConverter()
    {
        std::atomic<int> wrong = 0;
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([&wrong, t] {
                const QDate day = QDate(2027, 9, 8).addYears(t);
                const LunarDate expected = *toLunar(day);
                for (int i = 0; i < 2000; ++i)
                    if (toLunar(day) != expected || toSolar(expected) != day) ++wrong;
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            thread->wait();
            delete thread;
        }
        QCOMPARE(wrong.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLunar)
#include "test_lunar.moc"
