#include "core/AffairText.h"

#include <QtTest>

class TestAffairText : public QObject {
    Q_OBJECT
private slots:
    // A period enters the summary only with both its ends; the affair text is
    // stored as typed, its line breaks included.
    void composeStoredAffair()
    {
        using core::composeStoredAffair;
        const QString tail = "\r\n" + QString(88, u'-');
        QCOMPARE((QStringList{composeStoredAffair({.qssj = "2004-5-19"}),
                              composeStoredAffair({.qssj = "2004-5-19", .jssj = "2004-5-22"}),
                              composeStoredAffair({.affair = "a\n\rb\r\n "})}),
                 (QStringList{" ---标记\r\n" + tail,
                              "起始时间：2004-5-19  结束时间：2004-5-22   ---标记\r\n" + tail,
                              " ---标记\r\na\n\rb\r\n " + tail}));
    }
};

QTEST_APPLESS_MAIN(TestAffairText)
#include "test_affair_text.moc"
