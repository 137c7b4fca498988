#include "RmdDriver.h"
#include "recordbook/TextBoxes.h"

namespace {

const QString kDash(88, u'-');

struct Book : Rmd {
    using Rmd::Rmd;
    // 每月每日时间 and the two lunar boxes beside it.
    QStringList yearly()
    {
        return {get("mymrsj")->text(), get("nlmnsj")->text(), get("nlmysj")->text()};
    }
    QFrame* chooser(const char* picker)
    {
        return get<QPushButton>(picker)->findChild<QFrame*>("lunarChooser");
    }
};

} // namespace

// The lunar schedule boxes, their choosers and today's lunar date in the
// reminder window.
class TestReminderLunar : public QObject {
    Q_OBJECT
private slots:
    // Every routine treats the lunar boxes as it treats 每月每日时间.
    void boxesFollowMonthDay_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("click") << "click" << true;
        QTest::newRow("double-click") << "double-click" << true;
        QTest::newRow("Clear") << "Command3" << false;
        QTest::newRow("Refresh") << "Command8" << false;
        QTest::newRow("Modify") << "Command5" << true;
        QTest::newRow("substring search") << "Image5" << false;
        QTest::newRow("view all") << "Image8" << false;
        QTest::newRow("Delete") << "Command2" << false;
    }
    void boxesFollowMonthDay()
    {
        QFETCH(QString, routine);
        QFETCH(bool, loaded);
        Book b({insert("要事,每月每日时间,农历每年时间,农历每月时间", "'A','9-8','闰6-1','15'"),
                insert("要事", "'B'")});
        if (routine == "double-click") {
            b.clickLine(1, true);
            b.clickLine(0, true);
        } else {
            b.clickLine(0);
        }
        if (routine.startsWith("Command") || routine.startsWith("Image")) {
            b.app.dialogs.answers.enqueue(platform::Answer::Yes);
            b.press(routine);
        }
        QCOMPARE(b.yearly(), (loaded ? QStringList{"9-8", "闰6-1", "15"} : QStringList(3, "")));
    }

    void addAndModifyStoreThem()
    {
        Book b({insert("要事", "'旧'")});
        b.type("nlmnsj", " 08-08");
        b.type("nlmysj", "15");
        b.type("affairBox", "父亲生日");
        b.press("Command1");
        const QString summary = "农历每年时间：八月初八  农历每月时间：十五  ";
        const QString stored = summary + " ---标记\r\n父亲生日\r\n" + kDash;
        QCOMPARE(b.db("要事 || '|' || 农历每年时间 || '|' || 农历每月时间").last(),
                 stored + "| 08-08|15");
        QCOMPARE(b.yearly(), (QStringList{"", " 08-08", "15"}));
        // Emptied boxes store the empty text, as 每月每日时间 does.
        b.get("nlmnsj")->clear();
        b.get("nlmysj")->clear();
        b.press("Command5");
        QCOMPARE(b.db("quote(农历每年时间) || quote(农历每月时间)"), (QStringList{"''''", "''''"}));
        // One summary line, now without the lunar items.
        QCOMPARE(b.db("要事").last(), " ---标记\r\n父亲生日\r\n" + kDash);
    }

    void badValuesAreRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString yearly = "”不是农历日期，请输入形如 8-8 或 闰6-1 的农历月日，或用右边的农历"
                               "选择框选择。";
        const QString monthly = "”不是农历日，请输入 1 到 30 之间的数，或用右边的农历选择框选择。";
        const auto row = [&](bool add, const char* box, const QString& text) {
            const bool year = QString(box) == "nlmnsj";
            QTest::addRow("%s %s", add ? "add" : "modify", qPrintable(text))
                << (add ? "Command1" : "Command5") << box << text
                << (year ? "警告: “农历每年时间”框中的“" + text + yearly
                         : "警告: “农历每月时间”框中的“" + text + monthly);
        };
        row(true, "nlmnsj", "13-1");
        row(true, "nlmnsj", "8-31");
        row(false, "nlmnsj", "闰");
        row(true, "nlmysj", "0");
        row(false, "nlmysj", "31");
        row(false, "nlmysj", "abc");
    }

    void badValuesAreRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Book b({insert("要事", "'A'")});
        b.clickLine(0);
        b.type("lxr", "甲");
        b.type(box, text);
        b.press(command);
        QCOMPARE(b.said(), QStringList{message});
        QCOMPARE(b.db("要事 || quote(联系人) || 农历每年时间 || 农历每月时间"),
                 QStringList{"ANULL"});
        QCOMPARE(b.get(box)->text() + b.get("lxr")->text(), text + "甲");
        QCOMPARE(b.w->focusWidget(), b.get<QWidget>(box));
    }

    void choosersFillTheBoxes()
    {
        Book b({}, QDate(2025, 7, 25));
        // As wide as the date pickers above them.
        QCOMPARE(b.get<QWidget>("DTPicker13")->width(), b.get<QWidget>("DTPicker12")->width());
        QCOMPARE(b.get<QWidget>("DTPicker14")->width(), b.get<QWidget>("DTPicker12")->width());

        QFrame* yearly = b.chooser("DTPicker13");
        b.press("DTPicker13");
        QVERIFY(yearly->isVisible());
        const auto months = [&] {
            QStringList names;
            auto* box = yearly->findChild<QComboBox*>("lunarMonth");
            for (int i = 0; i < box->count(); ++i)
                names << box->itemText(i);
            return names;
        };
        // Today's lunar year 2025 has 闰六月, after 六月; 2026 has none.
        QCOMPARE(months().mid(5, 3), (QStringList{"六月", "闰六月", "七月"}));
        QCOMPARE(months().size(), 13);
        yearly->findChild<QComboBox*>("lunarMonth")->setCurrentText("闰六月");
        yearly->findChild<QComboBox*>("lunarDay")->setCurrentText("初一");
        QTest::mouseClick(yearly->findChild<QPushButton*>("lunarOk"), Qt::LeftButton);
        QCOMPARE(b.get("nlmnsj")->text(), "闰6-1");
        QVERIFY(!yearly->isVisible());
        yearly->findChild<QSpinBox*>("lunarYear")->setValue(2026);
        QCOMPARE(months().size(), 12);

        const std::pair<const char*, const char*> festivals[] = {
            {"春节", "1-1"}, {"中秋", "8-15"}, {"重阳", "9-9"}, {"除夕", "12-30"}};
        for (const auto& [name, value] : festivals) {
            b.press("DTPicker13");
            for (QPushButton* button : yearly->findChildren<QPushButton*>())
                if (button->text() == name) QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(b.get("nlmnsj")->text(), value);
        }

        QFrame* monthly = b.chooser("DTPicker14");
        b.type("nlmysj", "08");
        b.press("DTPicker14");
        // It opens on the day the box holds.
        QCOMPARE(monthly->findChild<QComboBox*>("lunarDay")->currentText(), "初八");
        monthly->findChild<QComboBox*>("lunarDay")->setCurrentText("十五");
        QTest::mouseClick(monthly->findChild<QPushButton*>("lunarOk"), Qt::LeftButton);
        QCOMPARE(b.get("nlmysj")->text(), "15");
    }

    void todaysLunarDate_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("boxes"); // Text3, Text5, the lunar date
        QTest::newRow("plain day")
            << QDate(2026, 12, 6)
            << QStringList{"今天是:2026-12-06", "今天是:星期日", "农历：丙午年十月廿八"};
        QTest::newRow("solar term")
            << QDate(2026, 12, 7)
            << QStringList{"今天是:2026-12-07", "今天是:星期一", "农历：丙午年十月廿九 大雪"};
        QTest::newRow("outside the calendar")
            << QDate(2101, 1, 1) << QStringList{"今天是:2101-01-01", "今天是:星期六", ""};
    }
    void todaysLunarDate()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, boxes);
        Book b({}, today);
        QCOMPARE(
            (QStringList{b.get("Text3")->text(), b.get("Text5")->text(), b.get("nlrq")->text()}),
            boxes);
        QVERIFY(b.get("nlrq")->isReadOnly());
    }

    // The window at start lists what rmd --due prints, the lunar tests after T6.
    void dueAtStartAsTheCommandLine()
    {
        const QStringList rows{
            insert("要事,每周时间,农历每年时间", "'父亲生日','100','8-8'"),
            insert("要事,每周时间,每月每日时间,农历每年时间,农历每月时间",
                   "'三次','100','9-8','闰8-8','8'"),
            insert("要事,每周时间,农历每年时间,农历每月时间", "'坏','100','13-1','31'")};
        Book b(rows, QDate(2027, 9, 8), false);
        const QString due = "父亲生日\n\r\n\r" + QString("三次\n\r\n\r").repeated(3);
        QCOMPARE(b.due(QDate(2027, 9, 8)), due);
        b.open();
        QCOMPARE(b.w->rawAffairText(), due);
        QVERIFY(qobject_cast<recordbook::DragLineEdit*>(b.get("nlmnsj")) &&
                qobject_cast<recordbook::DragLineEdit*>(b.get("nlmysj")));
    }

    // A book from before the lunar columns gains them when the organiser opens it.
    void olderBookGainsTheColumns()
    {
        Book b({"drop index mp_schedule", "alter table mp drop column 农历每年时间",
                "alter table mp drop column 农历每月时间",
                insert("要事,每日时间,每周时间", "'八号','8','100'")},
               QDate(2027, 9, 8), false);
        b.open();
        QCOMPARE(b.w->rawAffairText(), "八号\n\r\n\r");
        QCOMPARE(b.db("要事 || '|' || 农历每年时间 || '|' || 农历每月时间"), QStringList{"八号||"});
        b.clickLine(0);
        b.type("nlmysj", "8");
        b.press("Command5");
        QCOMPARE(b.db("农历每月时间"), QStringList{"8"});
    }
};

QTEST_MAIN(TestReminderLunar)
#include "test_rmd_lunar.moc"
