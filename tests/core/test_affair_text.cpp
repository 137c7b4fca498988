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

    // The lunar items follow 每月每日时间 in lunar words; with both boxes
    // empty nothing changes.
    void lunarSummary_data()
    {
        QTest::addColumn<core::AffairBoxes>("boxes");
        QTest::addColumn<QString>("summary");
        QTest::newRow("both empty") << core::AffairBoxes{.lxr = "张三", .mymrsj = "5-16"}
                                    << "每月每日时间：5-16  联系人：张三  ";
        QTest::newRow("yearly after month-day, before contact")
            << core::AffairBoxes{.lxr = "父亲", .mymrsj = "5-16", .nlmnsj = "08-08"}
            << "每月每日时间：5-16  农历每年时间：八月初八  联系人：父亲  ";
        QTest::newRow("leap month and monthly")
            << core::AffairBoxes{.nlmnsj = "闰6-1", .nlmysj = "15"}
            << "农历每年时间：闰六月初一  农历每月时间：十五  ";
        QTest::newRow("monthly alone")
            << core::AffairBoxes{.nlmysj = "30"} << "农历每月时间：三十  ";
    }
    void lunarSummary()
    {
        QFETCH(core::AffairBoxes, boxes);
        QFETCH(QString, summary);
        boxes.affair = "生日";
        QCOMPARE(core::composeStoredAffair(boxes),
                 summary + " ---标记\r\n生日\r\n" + QString(88, u'-'));
    }
};

QTEST_APPLESS_MAIN(TestAffairText)
#include "test_affair_text.moc"
