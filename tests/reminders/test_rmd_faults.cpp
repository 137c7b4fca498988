// The reminder window when the book refuses: held by another program, a full
// disk, write-protected. Nothing typed is lost and the program goes on.
#include "RmdDriver.h"
#include "recordbook/TextBoxes.h"
#include "store/StoreError.h"

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
    void type(const QString& box, const QString& text)
    {
        QMetaObject::invokeMethod(get<QWidget>(box), "clear");
        QTest::sendKeyEvent(QTest::Click, get<QWidget>(box), Qt::Key_unknown, text, {});
    }
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

const QString kLarge = QString(300000, u'大');

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
        const int busy = int(store::Fault::Busy), full = int(store::Fault::Full),
                  readOnly = int(store::Fault::ReadOnly);
        const QString added = "时间点：2026-12-24  联系人：王  ";
        QTest::newRow("add, held by another program")
            << "Command1"
            << "held" << busy << QStringList{"A", "B", "王"};
        QTest::newRow("add, disk full") << "Command1"
                                        << "full" << full << QStringList{"A", "B", "王"};
        QTest::newRow("modify, write-protected")
            << "Command5"
            << "write-protected" << readOnly << QStringList{"A", "王"};
        QTest::newRow("delete, held by another program") << "Command2"
                                                         << "held" << busy << QStringList{"A"};
        QTest::newRow("delete all, write-protected")
            << "Command4"
            << "write-protected" << readOnly << QStringList{};
        QTest::newRow("refresh, held by another program")
            << "Command8"
            << "held" << busy << QStringList{"A", "B"};
        QTest::newRow("search, held by another program") << "Image5"
                                                         << "held" << busy << QStringList{"A", "B"};
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
        if (how == "full") b.type("affairBox", kLarge);
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
                 QStringList({"300000", "0", ""}));
        QCOMPARE(b.lines().size(), 2);
        QVERIFY(b.app.exitCodes.isEmpty());
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
