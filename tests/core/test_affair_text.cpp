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

    // Modify takes the stored summary and closing hyphens off only while the
    // box still carries both.
    void withoutStoredFrame_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("affair");
        const QString rule = "\r\n" + QString(88, u'-');
        const QString head = "联系人：甲   ---标记\r\n";
        const QString framed = head + "事\r\n二" + rule;
        QTest::newRow("framed") << framed << framed << "事\r\n二";
        QTest::newRow("body edited") << framed << head + "新事" + rule << "新事";
        QTest::newRow("empty body") << framed << head + rule << "";
        QTest::newRow("summary edited")
            << framed << "联系人：乙" + framed.mid(5) << "联系人：乙" + framed.mid(5);
        QTest::newRow("hyphens cut") << framed << framed.chopped(1) << framed.chopped(1);
        QTest::newRow("only the summary left") << framed << head << head;
        QTest::newRow("no summary") << " ---标记\r\n事" + rule << " ---标记\r\n事" + rule << "事";
        QTest::newRow("marker not on the first line")
            << "甲\r\n ---标记\r\n事" + rule << "甲\r\n ---标记\r\n事" + rule
            << "甲\r\n ---标记\r\n事" + rule;
        QTest::newRow("stored without marker") << "旧事"
                                               << "旧事" + rule << "旧事" + rule;
    }
    void withoutStoredFrame()
    {
        QFETCH(QString, stored);
        QFETCH(QString, box);
        QFETCH(QString, affair);
        QCOMPARE(core::affairWithoutStoredFrame(box, stored), affair);
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

    // Reading gives back what was composed; other texts are all body.
    void readStoredAffair_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("composed");
        const auto compose = [](const core::AffairBoxes& b) {
            return core::composeStoredAffair(b);
        };
        QTest::newRow("summary and a body of several lines")
            << compose({.affair = "开会\r\n带上报告\n\r", .sjd = "2026-12-6", .lxr = "张三"})
            << "时间点：2026-12-6  联系人：张三  "
            << "开会\r\n带上报告\n\r" << true;
        QTest::newRow("no summary, empty body") << compose({}) << ""
                                                << "" << true;
        QTest::newRow("the marker inside the body is body")
            << compose({.affair = "a ---标记\r\nb"}) << ""
            << "a ---标记\r\nb" << true;
        QTest::newRow("a plain text is all body") << "买菜"
                                                  << ""
                                                  << "买菜" << false;
        QTest::newRow("marker without the closing hyphens keeps the rest")
            << "时间点：2026-12-6   ---标记\r\n开会"
            << "时间点：2026-12-6  "
            << "开会" << true;
    }

    void readStoredAffair()
    {
        QFETCH(QString, stored);
        const core::StoredAffair read = core::readStoredAffair(stored);
        QTEST(read.summary, "summary");
        QTEST(read.body, "body");
        QTEST(read.composed, "composed");
    }
};

QTEST_APPLESS_MAIN(TestAffairText)
#include "test_affair_text.moc"
