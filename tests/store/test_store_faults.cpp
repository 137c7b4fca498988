// The store under faults: odd texts, a book another program holds, a full
// disk, a write-protected book. Faults are made inside SQLite itself.
#include "PlainDb.h"
#include "store/Connection.h"
#include "store/JetSql.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using store::Recordset;
using store::StoreError;

namespace {

// A database made from the schema in a temporary folder, opened as `db`.
struct Book {
    QTemporaryDir dir;
    QString path = dir.filePath("rmd.mdb");
    store::Connection db;

    Book()
    {
        QFile schema(LUMO_SCHEMA);
        schema.open(QIODevice::ReadOnly);
        QFile(path).open(QIODevice::WriteOnly);
        plainExec(path, QString::fromUtf8(schema.readAll()));
        db.open(path);
    }
    QStringList column(const QString& sql) const { return plainColumn(path, sql); }
};

// Another program's connection to the same book.
struct Other {
    sqlite3* db = nullptr;
    explicit Other(const QString& path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~Other() { sqlite3_close_v2(db); }
    void exec(const char* sql) { QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), 0); }
};

QStringList walk(Recordset& rs)
{
    QStringList seen;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        seen << rs.text("要事");
    return seen;
}

} // namespace

class TestStoreFaults : public QObject {
    Q_OBJECT

private slots:
    void nulTexts_data()
    {
        QTest::addColumn<QString>("text");
        const QChar nul(0);
        QTest::newRow("one NUL") << QString("a") + nul + "b";
        QTest::newRow("only NULs") << QString(3, nul);
        QTest::newRow("5000 NULs") << QString(5000, nul);
        QTest::newRow("NULs between quotes") << (QString("'") + nul).repeated(800) + "it's";
    }

    // However many NULs a text holds, it is stored whole and found again by
    // both kinds of search the windows build.
    void nulTexts()
    {
        QFETCH(QString, text);
        Book book;
        book.db.execute("insert into mp (要事) values ('other'), (" + store::quoted(text) + ")");
        QCOMPARE(book.column("select 要事 from mp").value(1), text);
        Recordset equal("select * from mp where 要事=" + store::quoted(text), book.db);
        Recordset like("select * from mp where 要事 like " + store::containsPattern(text), book.db);
        QCOMPARE(QList({equal.recordCount(), like.recordCount()}), QList({1, 1}));
        QCOMPARE(like.text("要事"), text);
    }

    void refusedCommand_data()
    {
        // How the book refuses; the fault the command must report.
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("fault");
        QTest::newRow("held by another program") << "exclusive" << int(store::Fault::Busy);
        QTest::newRow("read by another program at the end") << "reader" << int(store::Fault::Busy);
        QTest::newRow("disk full") << "full" << int(store::Fault::Full);
        QTest::newRow("write-protected") << "query only" << int(store::Fault::ReadOnly);
        QTest::newRow("opened read-only") << "read-only" << int(store::Fault::ReadOnly);
    }

    // A command that changes a row, deletes one and adds a large one, refused
    // by the book at some step: nothing of it is stored, and the cursor shows
    // exactly the rows the book holds, where it was.
    void refusedCommand()
    {
        QFETCH(QString, refusal);
        QFETCH(int, fault);
        Book book;
        plainExec(book.path, "insert into mp (要事) values ('a'), ('b'), ('c')");
        Other other(book.path);
        if (refusal == "read-only") book.db.open(book.path, store::Connection::Access::ReadOnly);
        if (refusal == "query only") book.db.execute("pragma query_only = 1");
        Recordset rs("select * from mp", book.db);
        if (refusal == "exclusive") other.exec("begin exclusive");
        if (refusal == "reader") other.exec("begin; select count(*) from mp");
        // Room for small changes, none for the large row.
        if (refusal == "full")
            book.db.execute("pragma max_page_count = " +
                            plainScalar(book.path, "pragma page_count"));
        rs.setAbsolutePosition(2);
        try {
            store::CommandScope command(book.db);
            rs.moveFirst();
            rs.collect("要事", "changed");
            rs.update();
            rs.moveNext();
            rs.deleteCurrent();
            rs.addNew();
            rs.collect("要事", QString(200000, u'x'));
            rs.update();
            command.commit();
            QFAIL("stored");
        } catch (const StoreError& error) {
            QCOMPARE(int(error.fault()), fault);
        }
        other.exec(refusal == "exclusive" || refusal == "reader" ? "rollback" : "select 1");
        QCOMPARE(book.column("select 要事 from mp"), QStringList({"a", "b", "c"}));
        QCOMPARE(QList({rs.recordCount(), rs.absolutePosition()}), QList({3, 1}));
        QCOMPARE(walk(rs), QStringList({"a", "b", "c"}));
        // The cursor writes again once the book takes it.
        if (refusal == "query only") book.db.execute("pragma query_only = 0");
        if (refusal == "full") book.db.execute("pragma max_page_count = 100000");
        if (refusal != "read-only") {
            rs.moveLast();
            rs.collect("要事", "later");
            rs.update();
            QCOMPARE(book.column("select 要事 from mp"), QStringList({"a", "b", "later"}));
        }
    }

    void nestedCommands_data()
    {
        QTest::addColumn<bool>("innerCommits");
        QTest::addColumn<bool>("outerCommits");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("both stored") << true << true << QStringList{"a", "outer", "inner"};
        QTest::newRow("inner rolled back") << false << true << QStringList{"a", "outer"};
        QTest::newRow("outer rolled back") << true << false << QStringList{"a"};
    }

    // A command run while another waits (a timer under a message box) is
    // rolled back alone; rolling back the outer one takes the inner one's
    // changes too. A cursor read meanwhile ends up showing what is stored.
    void nestedCommands()
    {
        QFETCH(bool, innerCommits);
        QFETCH(bool, outerCommits);
        QFETCH(QStringList, stored);
        Book book;
        plainExec(book.path, "insert into mp (要事) values ('a')");
        Recordset rs("select * from mp", book.db);
        std::optional<Recordset> seen;
        {
            store::CommandScope outer(book.db);
            rs.addNew();
            rs.collect("要事", "outer");
            rs.update();
            {
                store::CommandScope inner(book.db);
                rs.addNew();
                rs.collect("要事", "inner");
                rs.update();
                seen.emplace("select * from mp", book.db);
                if (innerCommits) inner.commit();
            }
            if (outerCommits) outer.commit();
        }
        QCOMPARE(book.column("select 要事 from mp"), stored);
        QCOMPARE(walk(rs), stored);
        QCOMPARE(walk(*seen), stored);
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "test_store_faults.moc"
