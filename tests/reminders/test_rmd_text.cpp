#include "reminders/AffairText.h"

#include <QtTest>

using namespace reminders;

namespace {
const QString kDashes(88, u'-');
}

class TestAffairText : public QObject {
    Q_OBJECT
private slots:
    void composeStoredAffair_data()
    {
        // Boxes in the order sjd qssj jssj mysj mzsj mrsj mymrsj lxr lxdd jtzz sj dh.
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("affair");
        QTest::addColumn<QString>("summary");
        const QStringList none(12, QString());
        auto with = [&](std::initializer_list<std::pair<int, const char*>> set) {
            QStringList b = none;
            for (auto [i, v] : set)
                b[i] = QString::fromUtf8(v);
            return b;
        };
        QTest::newRow("start alone") << with({{1, "2004-5-19"}}) << QString() << QString();
        QTest::newRow("period") << with({{1, "2004-5-19"}, {2, "2004-5-22"}}) << QString()
                                << QStringLiteral("起始时间：2004-5-19  结束时间：2004-5-22  ");
        QTest::newRow("affair text kept as it is")
            << none << QStringLiteral("a\n\rb\r\n ") << QString();
    }

    void composeStoredAffair()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, affair);
        QFETCH(QString, summary);
        AffairBoxes b;
        b.affair = affair;
        QString* fields[] = {&b.sjd,    &b.qssj, &b.jssj, &b.mysj, &b.mzsj, &b.mrsj,
                             &b.mymrsj, &b.lxr,  &b.lxdd, &b.jtzz, &b.sj,   &b.dh};
        for (int i = 0; i < 12; ++i)
            *fields[i] = boxes.at(i);
        QCOMPARE(reminders::composeStoredAffair(b), summary + QStringLiteral(" ---标记\r\n") +
                                                        affair + QStringLiteral("\r\n") + kDashes);
    }
};

QTEST_APPLESS_MAIN(TestAffairText)
#include "test_rmd_text.moc"
