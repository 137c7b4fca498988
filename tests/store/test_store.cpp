// Real SQLite files made from the schema: statement texts, quoting, dates,
// opening the file and the cursor.
#include "PlainDb.h"
#include "WriteProtect.h"
#include "store/Connection.h"
#include "store/DateText.h"
#include "store/JetSql.h"
#include "store/Like.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using store::Recordset;
using store::StoreError;

namespace {

// A database made from the schema in a temporary folder, opened as `db`.
// column() and exec() go through a plain connection of their own: "someone else".
struct StoreFixture {
    QTemporaryDir dir;
    QString path = dir.filePath("rmd.mdb");
    store::Connection db;

    StoreFixture()
    {
        QFile schema(LUMO_SCHEMA); // unreadable, every statement fails on a missing table
        schema.open(QIODevice::ReadOnly);
        QFile(path).open(QIODevice::WriteOnly); // an empty file is an empty database
        exec(QString::fromUtf8(schema.readAll()));
        db.open(path);
    }
    void exec(const QString& sql) const { plainExec(path, sql); }
    QString scalar(const QString& sql) const { return plainScalar(path, sql); }
    QStringList column(const QString& sql) const { return plainColumn(path, sql); }
};

// The text of one column of every row, walking the cursor.
QStringList walk(Recordset& rs, int column)
{
    QStringList seen;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        seen << rs.text(column);
    return seen;
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT

private slots:
    // A search for any text is just a search: built the way the windows build
    // it, only the rows holding the text come back, and every text is stored whole.
    void userTextInStatements()
    {
        const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b 空字符");
        const QString megabyte = "前" + QString(1 << 20, QLatin1Char('y')) + "后";
        const QStringList texts = {"it's here", "it s", "50% off",     "500 off", "a_b",
                                   "axb",       "k s",  "back\\slash", nul,       megabyte};
        StoreFixture fx;
        for (const QString& text : texts)
            fx.exec("insert into mp (要事) values (" + store::quoted(text) + ")");
        QCOMPARE(fx.column("select 要事 from mp"), texts);
        // Each term is held by exactly one text, which is all a search may find.
        for (const QString& term :
             QStringList{"it's", "50%", "a_b", "k\\s", nul.left(3), megabyte.mid(1, 1 << 20)}) {
            Recordset rs("select  * from mp where 要事=" + store::quoted(term) + " or 要事 like " +
                             store::containsPattern(term),
                         fx.db);
            QCOMPARE(walk(rs, 0), texts.filter(term));
        }
    }

    // LIKE on the store's connection gives the engine's own answer, within the engine's limits.
    void like()
    {
        StoreFixture fx;
        for (const char* pair : {"%abc% ~ xxABCxx", "%abc% ~ xxabxcx", "%会议% ~ 开会议事",
                                 "a_c ~ a长c", "a_c ~ a长长c", "%ab%ab% ~ abab", "%aab ~ aaab",
                                 "Ä% ~ ä", "a\\% ~ a%", "%a\\_b% ~ xacby", "a\\ ~ a\\"}) {
            const QStringList parts = QString::fromUtf8(pair).split(" ~ ");
            const QString sql = "select " + store::quoted(parts[1]) + " like " +
                                store::quoted(parts[0]) + store::likeEscapeClause();
            const QString engine = fx.scalar(sql);
            QVERIFY2(Recordset(sql, fx.db).text(0) == engine, pair);
            QVERIFY2(store::likeMatches(parts[0].toUtf8(), parts[1].toUtf8(), U'\\') ==
                         (engine == "1"),
                     pair);
        }
    }

    // Answers known beforehand, through the store's connection and the matcher.
    void likeAnswers_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        const auto row = [](const char* name, const char* pattern, const char* text, bool matches) {
            QTest::newRow(name) << QString(pattern) << QString(text) << matches;
        };
        row("two inner %, second part missing", "%a%b%", "xa", false);
        row("two inner %, parts in order", "%a%b%", "xaxbx", true);
        row("two inner %, parts reversed", "%a%b%", "xbxa", false);
        row("inner % at the end of the text", "a%b", "ab", true);
        row("trailing text after the last part", "%a%b", "xabx", false);
    }
    void likeAnswers()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        StoreFixture fx;
        const QString sql = "select " + store::quoted(text) + " like " + store::quoted(pattern) +
                            store::likeEscapeClause();
        QCOMPARE(Recordset(sql, fx.db).text(0), matches ? "1" : "0");
        QCOMPARE(store::likeMatches(pattern.toUtf8(), text.toUtf8(), U'\\'), matches);
    }

    // Accepted texts with their stored form, then refused ones.
    void dateText()
    {
        QList<std::pair<QString, QString>> cases = {{"2026/1/6 18:30:05", "2026-01-06 18:30:05"},
                                                    {"2026-12-06T08:30:00", "2026-12-06 08:30:00"},
                                                    {"2024-2-29", "2024-02-29"}};
        for (const char* accepted : {"2026/12/6", "2026.12.06", "  2026-12-6 ", "2026-12-6 0:00"})
            cases.append({QString::fromUtf8(accepted), "2026-12-06"});
        for (const char* refused :
             {"2026-2-30", "2025-2-29", "2026-13-1", "26-12-6", "12/6/2026", "2026/12-6",
              "2026-12-6 24:00", "2026-12-6 8:60", "", "２０２６-1-1"})
            cases.append({QString::fromUtf8(refused), QString()});
        for (const auto& [text, stored] : cases) {
            const std::optional<QDateTime> parsed = store::parseDateText(text);
            QCOMPARE(parsed ? store::toStoredDate(*parsed) : QString(), stored);
            if (parsed) QCOMPARE(store::fromStoredDate(stored), parsed);
        }
    }

    void executeStatements()
    {
        // Quoted text and what is no date stay as typed.
        const QString kept = "select * from mp where 时间点<#abc# or 要事='it''s #2026-1-1#'";
        QCOMPARE(store::translateJetSql(kept), kept);
        StoreFixture fx;
        fx.exec("insert into mp (要事, 时间点, 结束时间) values ('x', '2026-12-01', null), "
                "('y', null, '2026-12-10'), ('z', null, '2026-11-30'), ('w', null, null)");
        QCOMPARE(fx.db.execute("delete * from mp where 时间点<#2026-12-6# or 结束时间<#2026-12-6#"),
                 2);
        QCOMPARE(fx.column("select 要事 from mp"), (QStringList{"y", "w"}));
        // A second statement smuggled into the text never runs.
        QVERIFY_THROWS_EXCEPTION(StoreError, fx.db.execute("delete from mp; drop table tp"));
        QCOMPARE(fx.column("select 要事 from mp"), (QStringList{"y", "w"}));
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "unable to open database file";
        QTest::newRow("text") << "file is not a database";
        QTest::newRow("read-only") << "只读";
    }

    // Opening fails at once, with the engine's words, and never creates or changes a file.
    void openFailures()
    {
        QFETCH(QString, message);
        const QString kind = QTest::currentDataTag();
        StoreFixture fx;
        QFile file(kind == "read-only" ? fx.path : fx.dir.path() + "/other.mdb");
        const QByteArray notes = QByteArray("These are only notes, not a database.\n").repeated(40);
        if (kind == "text") QVERIFY(file.open(QIODevice::WriteOnly) && file.write(notes) > 0);
        file.close();
        std::optional<WriteProtected> protect;
        if (kind == "read-only" && !protect.emplace(file.fileName()).active())
            QSKIP("this file system cannot write-protect a file against root");
        store::Connection db;
        try {
            db.open(file.fileName());
            QFAIL("opened");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        }
        QCOMPARE(QList({db.isOpen(), file.exists()}), QList({false, kind != "missing"}));
        if (kind == "text") QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == notes);
    }

    // The windows' loops test a row, delete it and move on; nothing may be
    // skipped or visited twice, and counts and positions follow the deletes.
    void deleteDuringWalk()
    {
        // Neighbours; ends and middle; all.
        for (const auto& [doomed, kept] : {std::pair("bc", "ade"), {"ace", "bd"}, {"abcde", ""}}) {
            StoreFixture fx;
            fx.exec("insert into qqzx (外部) values ('a'), ('b'), ('c'), ('d'), ('e')");
            Recordset rs("select * from qqzx", fx.db);
            QString visited;
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                const QString name = rs.text("外部");
                visited += name;
                if (!QString(doomed).contains(name)) continue;
                const int position = rs.absolutePosition();
                rs.deleteCurrent();
                QCOMPARE(rs.recordCount(), 5 - QString(doomed).indexOf(name) - 1);
                QCOMPARE(rs.text("外部"), name); // still current until the move
                QCOMPARE(rs.absolutePosition(), position);
                QVERIFY_THROWS_EXCEPTION(StoreError, rs.deleteCurrent());
            }
            QCOMPARE(visited, "abcde");
            const QStringList left = QString(kept).split("", Qt::SkipEmptyParts);
            QCOMPARE(walk(rs, 0), left);
            QCOMPARE(fx.column("select 外部 from qqzx"), left);
            for (int i = 0; i < left.size(); ++i) {
                rs.setAbsolutePosition(i + 1);
                QCOMPARE(rs.text(0), left[i]);
            }
            QVERIFY_THROWS_EXCEPTION(StoreError, rs.setAbsolutePosition(left.size() + 1));
        }
    }

    // An added row joins the end and is a row like any other; null stays apart
    // from empty text, and columns not collected stay null.
    void addNewNullAndEmpty()
    {
        StoreFixture fx;
        fx.exec("insert into mp (要事, 每周时间) values ('old', '3')");
        Recordset rs("select * from mp", fx.db);
        rs.addNew();
        rs.collect("要事", "new");
        rs.collect("联系人", QVariant());
        rs.collect("每月时间", QString(""));
        rs.update();
        QCOMPARE(rs.absolutePosition(), 2);
        QCOMPARE(walk(rs, 0), (QStringList{"old", "new"}));
        const QString rows =
            "select 要事 || quote(联系人) || quote(每月时间) || quote(每周时间) from mp";
        QCOMPARE(fx.column(rows), (QStringList{"oldNULLNULL'3'", "newNULL''NULL"}));
        rs.moveLast();
        rs.collect("联系人", "x");
        rs.update();
        QCOMPARE(fx.column(rows).value(1), "new'x'''NULL");
        rs.deleteCurrent();
        QCOMPARE(fx.column(rows), QStringList{"oldNULLNULL'3'"});
    }

    // A cursor whose row was changed, deleted or replaced by another writer
    // must refuse to write, touch no row, and keep nothing pending.
    void staleCursor()
    {
        const char* const changes[] = {
            "update qqzx set 说明='ABC' where 外部='c'", // changed in case only
            "delete from qqzx where 外部='c'",
            "delete from qqzx where 外部='c'; " // and its row id reused
            "insert into qqzx (外部, 说明) values ('new', 'fresh')"};
        const QString snapshot = "select group_concat(rowid || 外部 || 说明, ',') from qqzx";
        for (const bool deleting : {false, true})
            for (const QString elsewhere : changes) {
                StoreFixture fx;
                fx.exec(
                    "insert into qqzx (外部, 说明) values ('a','abc'), ('b','abc'), ('c','abc')");
                Recordset rs("select * from qqzx", fx.db);
                rs.moveLast();
                fx.exec(elsewhere);
                const QString before = fx.scalar(snapshot);
                if (!deleting) rs.collect("说明", "mine");
                QVERIFY_THROWS_EXCEPTION(StoreError, deleting ? rs.deleteCurrent() : rs.update());
                QCOMPARE(rs.text("说明"), "abc");
                rs.update();
                QCOMPARE(fx.scalar(snapshot), before);
            }
    }

    void dateColumns_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::newRow("text") << QVariant("2004/5/16 8:05") << "2004-05-16 08:05:00";
        QTest::newRow("null, new row") << QVariant() << "<null>";
        QTest::newRow("refused") << QVariant("abc") << "";
        QTest::newRow("refused, new row") << QVariant("12/6/26") << "";
    }

    // Dates are stored in ISO form and read back as short text. A
    // refused date stores nothing of the row, drops what was pending and leaves
    // the cursor as usable as before.
    void dateColumns()
    {
        const bool adding = QByteArray(QTest::currentDataTag()).endsWith("new row");
        QFETCH(QVariant, value);
        QFETCH(QString, stored);
        StoreFixture fx;
        fx.exec("insert into mp (要事, 时间点) values ('old', '2026-12-06')");
        const QString rows = "select 要事 || ifnull(时间点, '<null>') from mp";
        Recordset rs("select * from mp", fx.db);
        if (adding) rs.addNew();
        rs.collect("要事", "new");
        if (!stored.isEmpty()) {
            rs.collect("时间点", value);
            rs.update();
            QCOMPARE(rs.text("时间点"), value.isNull() ? "" : "2004-5-16 8:05:00");
            QCOMPARE(rs.field("时间点").isNull(), value.isNull());
            QCOMPARE(fx.column(rows).last(), "new" + stored);
            return;
        }
        QVERIFY_THROWS_EXCEPTION(StoreError, (rs.collect("时间点", value), rs.update()));
        rs.update(); // nothing left to store
        QCOMPARE(fx.column(rows), QStringList{"old2026-12-06"});
        rs.moveFirst();
        rs.collect("要事", "later");
        rs.update();
        QCOMPARE(fx.column(rows), QStringList{"later2026-12-06"});
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
