#include "reminders/AffairText.h"

#include <QtTest>

class TestAffairText : public QObject {
    Q_OBJECT
private slots:
    // A period enters the summary only with both its ends; the affair text is
    // stored as typed, its line breaks included.
    void composeStoredAffair()
    {
        const auto composed = [](const char* start, const char* end, const QString& text) {
            reminders::AffairBoxes b;
            b.qssj = start;
            b.jssj = end;
            b.affair = text;
            return reminders::composeStoredAffair(b);
        };
        const QString tail = "\r\n" + QString(88, u'-');
        QCOMPARE(composed("2004-5-19", "", ""), " ---标记\r\n" + tail);
        QCOMPARE(composed("2004-5-19", "2004-5-22", ""),
                 "起始时间：2004-5-19  结束时间：2004-5-22   ---标记\r\n" + tail);
        QCOMPARE(composed("", "", "a\n\rb\r\n "), " ---标记\r\na\n\rb\r\n " + tail);
    }
};

QTEST_APPLESS_MAIN(TestAffairText)
#include "test_rmd_text.moc"
