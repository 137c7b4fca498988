#include "RmdDriver.h"
#include "recordbook/ListModel.h"
#include "recordbook/TextBoxes.h"

using platform::Answer;

namespace {

const QDate kSunday(2026, 12, 6);
const QDate kMonday(2026, 12, 7);
const char* const kBoxes[] = {"gjz", "sjd", "qssj", "jssj", "lxr",  "lxdd",  "jtzz",
                              "sj",  "dh",  "mysj", "mzsj", "mrsj", "mymrsj"};
const QStringList kNoBoxes(13, QString());

const auto stored = [](const QString& summary, const QString& text) {
    return summary + " ---标记\r\n" + text + "\r\n" + QString(88, u'-');
};
const auto entry = [](const QString& text) { return text + "\n\r\n\r"; };
struct Book : Rmd {
    using Rmd::Rmd;
    QStringList boxes() // the 13 boxes of kBoxes, then the affair text
    {
        QStringList out;
        for (const char* name : kBoxes)
            out << get(name)->text();
        return out << w->rawAffairText();
    }
    // Then the search text and the selected line.
    QStringList all() { return boxes() << get("searchBox")->text() << QString::number(selected()); }
    QString at() { return QString::number(app.context().affairCursor->absolutePosition()); }
};

const QString kNul(1, QChar(0));
// A megabyte of text, no two neighbours alike, so a prefix is found only where it stands.
const auto megabyte = [] {
    return QStringLiteral("甲乙丙丁戊己庚辛壬癸").repeated((1 << 20) / 10 + 1).left(1 << 20);
};
} // namespace

// The reminder window driven through its controls.
class TestReminderWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { recordbook::setDragRunner({}); }

    // At start the window shows what `rmd --due` prints for the same book and
    // day, before its start-up changes the book: it removes empty affairs and
    // stores the due list in zdtxsw unless the book is empty.
    void loadOnFixedDates()
    {
        const QString twice = entry("A") + entry("A") + entry("");
        // A time point and a weekday due, one not due, two empty affairs.
        const QStringList mixed{insert("要事,时间点,每周时间", "'A','2026-12-06','0'"),
                                insert("要事,每周时间", "'B','100'"),
                                insert("要事,每周时间", "'',''"),
                                insert("要事,每周时间", "NULL,'100'")};
        const QString notDue = insert("要事,每周时间", "'X','0'");
        // today, rows, due, zdtxsw, kept, weekday
        const std::tuple<QDate, QStringList, QString, QString, QStringList, QString> cases[] = {
            {kSunday, {"update ma set zdtxsw='旧'"}, "", "旧", {}, "今天是:星期日"},
            {kSunday, mixed, twice, twice, {"A", "B"}, "今天是:星期日"},
            {kMonday, {notDue}, "", "目前没有重要事务提醒", {"X"}, "今天是:星期一"}};
        for (const auto& [today, rows, due, zdtxsw, kept, weekday] : cases) {
            Book b(rows, today, false);
            QCOMPARE(b.due(today), due);
            b.open();
            // Setting the pickers to today wrote no box; nothing was said.
            QCOMPARE((QStringList{b.w->rawAffairText(), b.app.scalar("select zdtxsw from ma"),
                                  b.get("Text5")->text()} +
                      b.db("要事") + b.lines() + b.boxes().mid(0, 13) + b.said()),
                     (QStringList{due, zdtxsw, weekday} + kept + kept + kNoBoxes));
            // Adding straight away stores the due list as the affair.
            b.press("Command1");
            QCOMPARE(b.db("要事").last(), stored("", due));
            b.press("Image7"); // the stored due list
            QCOMPARE(b.w->rawAffairText(), zdtxsw);
        }
    }

    void clockTicks()
    {
        Book b({}, kSunday);
        b.app.clock.current = QDateTime(kSunday, QTime(10, 0, 0));
        QTRY_COMPARE_WITH_TIMEOUT(b.get<QLabel>("Label9")->text(), QString("10:00:00"), 3000);
    }

    void addStoresComposedAffair()
    {
        QStringList columns{"kw",  "2004-5-16", "2004-5-19", "2004-5-22", "张三", "会议室", "北京",
                            "139", "010",       "5",         "0",         "16",   "5-16"};
        const QString affair =
            stored("时间点：2004-5-16  起始时间：2004-5-19  结束时间：2004-5-22  每月时间：5  "
                   "每周时间：0  每日时间：16  每月每日时间：5-16  联系人：张三  联系地点：会议室  "
                   "家庭住址：北京  联系人手机：139  联系人电话：010  ",
                   "开会");
        Book b({insert("要事", "'旧事'")});
        for (int i = 0; i < 13; ++i)
            b.type(kBoxes[i], columns.at(i));
        b.type("affairBox", "开会");
        b.type("searchBox", "旧");
        b.press("Command1");

        columns.replaceInStrings(QRegularExpression("^2004-5-"), "2004-05-");
        // The editor shows the new record as read back from the book, selected in the
        // list, and no search text.
        QCOMPARE(b.lines(), (QStringList{"旧事", recordbook::lineText(affair)}));
        QCOMPARE(b.all(), (columns + QStringList{affair, "", "1"}));
    }

    void modifyWritesNullsAndOneSummary()
    {
        const QString first = stored("联系人：甲  ", "事");
        Book b({insert("要事,要事关键字,时间点,联系人,联系地点,每月时间,每周时间,每日时间",
                       "'" + first + "','k','2026-12-24','甲','乙','5','3','9'")});
        b.clickLine(0);
        for (const char* name : {"gjz", "sjd", "lxr", "mysj", "mzsj"})
            b.get(name)->clear();
        b.press("Command5");
        const QString second = stored("每日时间：9  联系地点：乙  ", "事");
        QCOMPARE(b.db("要事||quote(要事关键字)||quote(时间点)||quote(联系人)||quote(每月时间)||"
                      "quote(每周时间)")
                     << b.get("mzsj")->text(),
                 (QStringList{second + "NULLNULLNULL'''100'", "100"}));
        b.press("Command5");
        b.press("Command5");
        QCOMPARE(b.db("要事"), QStringList{second});
    }

    // A time typed into 时间点 is stored, shown on loading and kept by Modify.
    void timeOfDayKept_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("kept");
        QTest::newRow("morning") << "2026-12-7 8:00"
                                 << "2026-12-07 8:00"
                                 << "2026-12-07 08:00:00";
        QTest::newRow("midnight") << "2026-12-7 0:00"
                                  << "2026-12-07"
                                  << "2026-12-07";
        QTest::newRow("seconds dropped") << "2026-12-7 18:05:09"
                                         << "2026-12-07 18:05"
                                         << "2026-12-07 18:05:00";
    }
    void timeOfDayKept()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, kept);
        Book b;
        b.type("sjd", typed);
        b.press("Command1");
        b.clickLine(0);
        QCOMPARE(b.get("sjd")->text(), shown);
        b.press("Command5");
        QCOMPARE(b.db("时间点"), QStringList{kept});
    }

    void modifyAndDeleteNeedASelectedLine()
    {
        Book b({insert("要事", "'A'"), insert("要事", "'B'")});
        // A current line without a selection is no selected line.
        b.list()->setFocus();
        b.list()->selectionModel()->setCurrentIndex(b.list()->model()->index(1, 0),
                                                    QItemSelectionModel::NoUpdate);
        b.type("lxr", "王");
        b.press("Command5");
        b.press("Command2");
        QCOMPARE(b.db("要事||quote(联系人)"), (QStringList{"ANULL", "BNULL"}));
        QCOMPARE(b.said(), QStringList(2, "提示: 请先在列表中选中一条信息"));
        QCOMPARE(b.get("lxr")->text(), "王");

        // A click below the lines keeps the selection, so Modify saves the edit.
        b.clickLine(1);
        b.type("lxr", "李");
        QTest::mouseClick(b.list()->viewport(), Qt::LeftButton, {},
                          QPoint(10, b.list()->viewport()->height() - 3));
        QCOMPARE(b.selected(), 1);
        b.press("Command5");
        QCOMPARE(b.db("联系人"), (QStringList{"<null>", "李"}));
        QCOMPARE(b.said().size(), 2);
    }

    void deletesAskFirst()
    {
        const QStringList all{"A", "B", "C"};
        const std::tuple<QString, Answer, QStringList> cases[] = {
            {"Command2", Answer::Yes, {"A", "C"}},
            {"Command2", Answer::No, all},
            {"Command4", Answer::Yes, {}},
            {"Command4", Answer::No, all}};
        for (const auto& [command, answer, left] : cases) {
            Book b({insert("要事", "'A'"), insert("要事,要事关键字,联系人", "'B','kb','乙'"),
                    insert("要事", "'C'")});
            b.clickLine(1);
            const QStringList before = b.boxes();
            b.app.dialogs.answers.enqueue(answer);
            b.press(command);
            const bool one = command == "Command2";
            // Enter answers 否: NO is the default.
            QCOMPARE(b.said(), QStringList{one ? "警告: 删除该条信息吗? [yes/NO]"
                                               : "警告: 全部删除吗? [yes/NO]"});
            QCOMPARE(b.db("要事") + b.lines(), left + left);
            // Deleting one record empties the boxes but the keyword; deleting all keeps them.
            QCOMPARE(b.boxes(),
                     one && answer == Answer::Yes ? QStringList{"kb"} + kNoBoxes : before);
            if (!left.isEmpty()) continue;
            // No later command acts on the deleted rows.
            b.press("Command2");
            QCOMPARE(b.said().last(), "警告: 已经没有一条事务信息了！");
            b.press("Command1");
            QCOMPARE(b.db("联系人"), QStringList{"乙"});
            QVERIFY(b.app.exitCodes.isEmpty());
        }
    }

    void clearAndRefresh()
    {
        Book b({insert("要事,要事关键字,联系人,每月时间", "'A','k','甲','5'")});
        b.clickLine(0);
        b.type("searchBox", "查");
        b.press("Command3");
        QCOMPARE(b.all(), (QStringList(14, "") + QStringList{"查", "0"}));

        b.app.exec(insert("要事", "'外来'"));
        b.type("gjz", "关键");
        b.w->setRawAffairText("备注");
        b.press("Command8");
        QCOMPARE(b.lines(), (QStringList{"A", "外来"}));
        QCOMPARE(b.all(), (QStringList{"关键"} + kNoBoxes + QStringList{"查", "-1"}));
    }

    void quitAndCloseEndTheProgram()
    {
        for (const bool button : {true, false}) {
            Book b;
            button ? b.press("Command7") : void(b.w->close());
            QVERIFY(b.app.exitCodes == QList<int>{0} && !b.app.context().affairCursor);
        }
    }

    void badDateIsRefused()
    {
        Book b({insert("要事", "'A'")});
        b.clickLine(0);
        b.type("lxr", "甲");
        const std::tuple<const char*, const char*, QString, QString> cases[] = {
            {"Command1", "sjd", "时间点", "2026-13-40"},
            {"Command5", "jssj", "结束时间", "12/6/26"}};
        for (const auto& [command, box, label, text] : cases) {
            b.app.dialogs.messages.clear();
            b.type(box, text);
            const QStringList before = b.boxes();
            b.press(command);
            QCOMPARE(
                b.said(),
                QStringList{"警告: “" + label + "”框中的“" + text +
                            "”不是日期，请输入形如 2004-5-16 的日期，或用右边的日期选择框选择。"});
            QCOMPARE(b.boxes() + b.db("要事||quote(联系人)"), before + QStringList{"ANULL"});
            b.get(box)->clear();
        }
        QVERIFY(b.app.exitCodes.isEmpty());
    }

    void pickersWriteTheirBoxes()
    {
        Book b;
        b.get<QDateEdit>("DTPicker11")->setDate(QDate(2027, 5, 16)); // a Sunday
        QCOMPARE(b.boxes().join('|'), "||||||||||0|||");
        // Picking in the calendar the date a picker already shows (today, at
        // start) writes the box too.
        const std::tuple<const char*, const char*, const char*> today[] = {
            {"DTPicker1", "sjd", "2026-12-7"},  {"DTPicker2", "qssj", "2026-12-7"},
            {"DTPicker3", "jssj", "2026-12-7"}, {"DTPicker9", "mysj", "12"},
            {"DTPicker10", "mrsj", "7"},        {"DTPicker11", "mzsj", "1"},
            {"DTPicker12", "mymrsj", "12-7"}};
        for (const auto& [name, box, text] : today) {
            auto* picker = b.get<QDateEdit>(name);
            picker->setDate(kMonday);
            b.get(box)->clear();
            QTest::keyClick(picker->calendarWidget()->findChild<QTableView*>(), Qt::Key_Return);
            QCOMPARE(b.get(box)->text(), text);
        }
    }

    void clicksLoadTheRecord()
    {
        Book b(
            {insert("要事,要事关键字,联系人", "'A','ka','乙'"),
             insert("要事,要事关键字,时间点,起始时间,结束时间,联系人,联系地点,家庭住址,联系人手机,"
                    "联系人电话,每月时间,每周时间,每日时间,每月每日时间",
                    "'B','k','2026-12-24 08:30:00','2026-01-02','2026-02-03','甲','乙','丙','139',"
                    "'010','5','100','16','5-16'")});
        b.clickLine(1);
        const QStringList full{"k",          "2026-12-24 8:30",
                               "2026-01-02", "2026-02-03",
                               "甲",         "乙",
                               "丙",         "139",
                               "010",        "5",
                               "100",        "16",
                               "5-16",       "B"};
        QCOMPARE(b.boxes() << b.at(), full + QStringList{"2"});
        // A double-click on another line shows that line's record, keyword included.
        b.type("gjz", "我的");
        b.clickLine(0, true);
        QCOMPARE(b.boxes() << b.at(), (QStringList{"ka", "", "", "", "乙"} + QStringList(8, "") +
                                       QStringList{"A", "1"}));
        // On the selected line it loads nothing new: the edited keyword stays,
        // and Modify then writes it into that line's record.
        b.clickLine(1);
        b.type("gjz", "改");
        b.clickLine(1, true);
        QCOMPARE(b.boxes() << b.at(), QStringList{"改"} + full.mid(1) << "1");
        b.press("Command5");
        QCOMPARE(b.db("要事关键字"), (QStringList{"ka", "改"}));
    }

    void searches_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text"); // pasted into searchBox
        QTest::addColumn<QStringList>("found");
        const QString sub = "Image5", any = "Image17";
        const QStringList meeting{"会议室开会", "会见客户", "讨论议程"};
        const QString ab = "a" + kNul + "b", AB = "A" + kNul + "B", ac = "a" + kNul + "c";
        QTest::newRow("substring") << sub << "会议" << QStringList{"会议室开会"};
        QTest::newRow("any character") << any << "会议" << meeting;
        QTest::newRow("percent is literal") << sub << "50%" << QStringList{"50%完成"};
        QTest::newRow("underscore and backslash are literal") << any << "_\\" << QStringList{"a_b"};
        QTest::newRow("quote, blanks trimmed") << sub << "  it's " << QStringList{"it's ok"};
        // The engine would read "a", NUL, "b" as "a" alone and list "xa" and "a", NUL, "c".
        QTest::newRow("NUL inside, substring") << sub << ab << QStringList{ab, AB};
        QTest::newRow("NUL among characters, any character")
            << any << "q" + kNul << QStringList{ab, AB, ac};
        // The box takes 32767 characters of a pasted megabyte: the affair holding it is found.
        QTest::newRow("megabyte") << sub << megabyte() << QStringList{megabyte().left(4096)};
        QTest::newRow("megabyte held by no affair") << sub << "z" + megabyte() << QStringList{};
    }

    void searches()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        QStringList rows;
        for (const QString& affair :
             QStringList{"'会议室开会'", "'会见客户'", "'讨论议程'", "'50%完成'", "'500件'",
                         "'it''s ok'", "'a_b'", "'axb'", "'xa'", "'a'||char(0)||'b'",
                         "'A'||char(0)||'B'", "'a'||char(0)||'c'", "'" + megabyte() + "'"})
            rows << insert("要事,联系人", affair + ",'甲'");
        Book b(rows);
        b.clickLine(0);
        b.type("gjz", "k");
        QApplication::clipboard()->setText(text);
        b.get("searchBox")->paste();
        b.press(button);
        QCOMPARE(b.lines() + b.said(), found);
        QCOMPARE(b.get("lxr")->text() + b.get("gjz")->text() + "|" + b.w->rawAffairText(),
                 button == "Image17" ? "k|" : "k|会议室开会");
    }

    void searchesChangeTheShownRecords()
    {
        Book b({insert("要事,要事关键字", "'苹果\r\n','k'"), insert("要事", "'香蕉'"),
                insert("要事", "'苹果派'")});
        // Modify after a search writes the record that was clicked in the result.
        b.type("searchBox", "香蕉");
        b.press("Image5");
        b.clickLine(0);
        b.type("lxr", "王");
        b.press("Command5");
        QCOMPARE(b.db("coalesce(联系人,'-')"), (QStringList{"-", "王", "-"}));
        const QString modified = stored("联系人：王  ", "香蕉");
        QCOMPARE(b.lines(), QStringList{recordbook::lineText(modified)});
        // Viewing all affairs lists them again, their texts in the editor, and empties the boxes.
        b.press("Image8");
        QCOMPARE(b.w->rawAffairText(), "苹果\r\n\n" + modified + "\n苹果派\n");
        QCOMPARE(b.lines(), (QStringList{"苹果", recordbook::lineText(modified), "苹果派"}));
        QCOMPARE(b.boxes().mid(0, 13), kNoBoxes);
        // Showing the keywords lists every record again.
        b.type("searchBox", "香蕉");
        b.press("Image5");
        b.app.exec(insert("要事,要事关键字", "'C','  '") + "," + "('D','k2 '),('E','k')");
        b.press("Image13");
        QCOMPARE(b.w->rawAffairText() + "|" + QString::number(b.lines().size()), "  k  k2 |6");
    }

    // Dragging from the affair box offers a copy of its raw text and empties the
    // search text and keyword.
    void dragsOfferCopyOnly()
    {
        Book b;
        QStringList drags;
        recordbook::setDragRunner([&](QDrag& drag, Qt::DropActions actions) {
            drags << (actions == Qt::CopyAction ? "copy " : "more ") +
                         drag.mimeData()->formats().join(',') + " " + drag.mimeData()->text();
            return Qt::CopyAction;
        });
        auto* affair = b.get<QPlainTextEdit>("affairBox");
        b.w->setRawAffairText("开会\r\n带本");
        b.type("searchBox", "查");
        b.type("gjz", "k");
        affair->selectAll();
        const QPoint at(4, 4), to = at + QPoint(QApplication::startDragDistance() + 5, 0);
        QTest::mousePress(affair->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseMove(affair->viewport(), to);
        QTest::mouseRelease(affair->viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(drags, QStringList{"copy text/plain 开会\r\n带本"});
        QCOMPARE(b.get("searchBox")->text() + b.get("gjz")->text() + b.w->rawAffairText(),
                 "开会\r\n带本");
    }
};

QTEST_MAIN(TestReminderWindow)
#include "test_rmd.moc"
