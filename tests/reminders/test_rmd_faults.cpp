// The reminder window when the book refuses: held by another program, a full
// disk, write-protected. Nothing typed is lost and the program goes on.
#include "RmdDriver.h"
#include "recordbook/ListModel.h"
#include "recordbook/TextBoxes.h"
#include "reminders/AffairEditor.h"
#include "store/DateText.h"
#include "store/StoreError.h"

#include <ctime>
#include <sqlite3.h>

namespace {

// Another program's connection to the book.
struct Other {
    sqlite3* db = nullptr;
    explicit Other(const QString& path) { sqlite3_open(path.toUtf8().constData(), &db); }
    ~Other() { sqlite3_close_v2(db); }
    int exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
};

struct Book : Rmd {
    using Rmd::Rmd;
    std::optional<Other> other;
    QStringList boxes() const
    {
        QStringList out;
        for (const char* name : {"gjz", "sjd", "lxr", "mysj", "searchBox"})
            out << get(name)->text();
        return out << w->rawAffairText();
    }
    QStringList db() { return app.column("select 要事 || ifnull(联系人, '') from mp"); }
    // Makes the book refuse in the named way; "" lets it take changes again.
    void refuse(const QString& how)
    {
        store::Connection& c = app.context().dbConnection();
        if (how.isEmpty()) {
            other.reset();
            c.execute("pragma query_only = 0");
            c.execute("pragma max_page_count = 1000000");
        } else if (how == "held") {
            other.emplace(app.databasePath());
            QCOMPARE(other->exec("begin exclusive"), SQLITE_OK);
        } else if (how == "write-protected") {
            c.execute("pragma query_only = 1");
        } else {
            c.execute("pragma max_page_count = " + app.scalar("pragma page_count"));
        }
    }
    QString refusal(store::Fault fault, const QString& tail = shell::kNothingChangedText)
    {
        return shell::kBookFaultTitle + ": " + store::faultText(fault, app.databasePath()) + tail;
    }
};

// Close to a megabyte, in lines, so the boxes lay it out quickly.
const QString kLarge = (QString(99, u'大') + "\r\n").repeated(3000);
// Exactly `bytes` bytes of one-byte characters, in lines.
QString textOfBytes(qsizetype bytes)
{
    return (QString(98, u'x') + "\r\n").repeated(bytes / 100 + 1).left(bytes);
}

} // namespace

class TestReminderFaults : public QObject {
    Q_OBJECT
private slots:
    void init() { recordbook::setDragRunner({}); }

    void refusedCommand_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("afterwards"); // the book once it takes changes again
        const auto row = [](const char* name, const char* button, const char* how,
                            store::Fault fault, const QStringList& afterwards) {
            QTest::newRow(name) << button << how << int(fault) << afterwards;
        };
        using store::Fault;
        row("add, held by another program", "Command1", "held", Fault::Busy, {"A", "B", "王"});
        row("add, disk full", "Command1", "full", Fault::Full, {"A", "B", "王"});
        row("modify, write-protected", "Command5", "write-protected", Fault::ReadOnly, {"A", "王"});
        row("delete, held by another program", "Command2", "held", Fault::Busy, {"A"});
        row("delete all, write-protected", "Command4", "write-protected", Fault::ReadOnly, {});
        row("refresh, held by another program", "Command8", "held", Fault::Busy, {"A", "B"});
        row("search, held by another program", "Image5", "held", Fault::Busy, {"A", "B"});
    }

    // The command is refused with one Chinese message naming the book; the
    // boxes, the list and the book stay as they were and the program goes
    // on; once the book takes changes again the same command works.
    void refusedCommand()
    {
        QFETCH(QString, button);
        QFETCH(QString, how);
        QFETCH(int, fault);
        QFETCH(QStringList, afterwards);
        Book b({"insert into mp(要事) values('A'), ('B')"});
        b.clickLine(1);
        b.type("lxr", "王");
        b.type("sjd", "2026-12-24");
        b.type("searchBox", "B");
        if (how == "full") b.w->editor().setRawAffairText(kLarge);
        const QStringList boxes = b.boxes(), lines = b.lines();
        b.refuse(how);
        b.press(button);
        QCOMPARE(b.said().last(), b.refusal(store::Fault(fault)));
        QCOMPARE(b.boxes() + b.lines(), boxes + lines);
        b.refuse("");
        QCOMPARE(b.db(), QStringList({"A", "B"}));
        QVERIFY(b.app.exitCodes.isEmpty());

        b.app.dialogs.messages.clear();
        b.press(button);
        QCOMPARE(b.said().filter(shell::kBookFaultTitle), QStringList());
        QStringList stored = b.db();
        // An added affair is stored with its summary line.
        for (QString& text : stored)
            if (text.contains("---标记")) text = "王";
        QCOMPARE(stored, afterwards);
    }

    void dueListNotStored_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("fault");
        QTest::newRow("write-protected") << "write-protected" << int(store::Fault::ReadOnly);
        QTest::newRow("disk full") << "full" << int(store::Fault::Full);
    }

    // The start cannot keep the due list: the list is shown all the same, the
    // user is told, and the book is as before (its empty affair kept too).
    void dueListNotStored()
    {
        QFETCH(QString, how);
        QFETCH(int, fault);
        Book b({"insert into mp(要事, 每周时间) values('" + kLarge + "', '1'), ('', '100')"},
               QDate(2026, 12, 7), false);
        b.app.context().openDatabase();
        b.refuse(how);
        b.open();
        QCOMPARE(b.w->rawAffairText(), kLarge + "\n\r\n\r");
        QCOMPARE(b.said(),
                 QStringList{b.refusal(store::Fault(fault), QString())
                                 .replace(": ", ": " + reminders::kDueListNotStoredText)});
        QCOMPARE(b.app.column("select length(要事) from mp") +
                     b.app.column("select zdtxsw from ma"),
                 QStringList({QString::number(kLarge.size()), "0", ""}));
        QCOMPARE(b.lines().size(), 2);
        QVERIFY(b.app.exitCodes.isEmpty());
    }

    void missingMidnight_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("day"); // summer time starts at its midnight
        QTest::newRow("Santiago") << QByteArray("America/Santiago") << QDate(2026, 9, 6);
        QTest::newRow("Havana") << QByteArray("America/Havana") << QDate(2026, 3, 8);
        QTest::newRow("Beirut") << QByteArray("Asia/Beirut") << QDate(2026, 3, 29);
    }

    // A day without a local midnight is a day like any other: due at start
    // and on the command line, added, shown, modified and picked.
    void missingMidnight()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, day);
        const QByteArray savedZone = qgetenv("TZ");
        const auto restore = qScopeGuard([&] {
            savedZone.isNull() ? qunsetenv("TZ") : qputenv("TZ", savedZone);
            tzset();
        });
        qputenv("TZ", zone);
        tzset();
        QVERIFY(!QDateTime(day, QTime(0, 0)).isValid() ||
                QDateTime(day, QTime(0, 0)).time() != QTime(0, 0));
        const QString iso = day.toString(Qt::ISODate), typed = store::shortDateText(day);
        Book b({"insert into mp(要事, 时间点) values('旧', '" + iso + "')"}, day);
        QCOMPARE(b.w->rawAffairText(), QString("旧\n\r\n\r").repeated(2));
        b.clickLine(0);
        QCOMPARE(b.get("sjd")->text(), iso); // shown as "yyyy-MM-dd"
        b.type("lxr", "甲");
        b.press("Command5");
        b.type("sjd", typed);
        b.type("affairBox", "零点");
        b.press("Command1");
        QCOMPARE(b.app.column("select 时间点 from mp"), QStringList({iso, iso}));
        QVERIFY(b.said().isEmpty() && b.app.exitCodes.isEmpty());

        QDateEdit* picker = b.get<QDateEdit>("DTPicker2");
        picker->setDate(day.addDays(-1));
        picker->setDate(day);
        QCOMPARE(b.get("qssj")->text(), typed);

        // The command line lists the same in the zone as in UTC, the new affair included.
        const QString inZone = b.due(day);
        qputenv("TZ", "UTC");
        tzset();
        QCOMPARE(inZone, b.due(day));
        QVERIFY(inZone.contains("零点"));
    }

    void hugeAffair_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored");
        const QString atLimit = textOfBytes(reminders::kAffairTextLimit);
        QTest::newRow("add at the limit") << "Command1" << atLimit << true;
        QTest::newRow("add one byte over") << "Command1" << atLimit + "y" << false;
        QTest::newRow("add of four-byte characters over")
            << "Command1" << (QString("😀").repeated(24) + "\r\n").repeated(10700) << false;
        QTest::newRow("modify one byte over") << "Command5" << atLimit + "y" << false;
    }

    // A text over 1 MB is refused before anything is stored, the boxes kept;
    // a stored huge text shows only its start in the list.
    void hugeAffair()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(bool, stored);
        Book b({"insert into mp(要事) values('A')"});
        b.clickLine(0);
        b.w->editor().setRawAffairText(text);
        const QStringList boxes = b.boxes();
        b.press(button);
        if (!stored) {
            QCOMPARE(b.said(), QStringList{"警告: " + reminders::kAffairTooLongText});
            QCOMPARE(b.boxes(), boxes);
            QCOMPARE(b.db(), QStringList{"A"});
            return;
        }
        QVERIFY(b.said().isEmpty());
        QCOMPARE(b.app.scalar("select max(length(要事)) > 1048576 from mp"), "1");
        QCOMPARE(b.lines().value(1), recordbook::lineText(b.db().value(1)).left(4096));
    }

    // Held by another program at start: the organiser says so and ends.
    void startWhileHeld()
    {
        Book b({"insert into mp(要事) values('A')"}, QDate(2026, 12, 7), false);
        b.app.context().openDatabase();
        b.refuse("held");
        b.open();
        QCOMPARE(b.said(), QStringList{b.refusal(store::Fault::Busy, shell::kCannotStartText)});
        QCOMPARE(b.app.exitCodes, QList<int>{1});
    }
};

QTEST_MAIN(TestReminderFaults)
#include "test_rmd_faults.moc"
