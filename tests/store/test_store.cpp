// Real SQLite files made from the schema: statement texts, quoting, dates,
// opening the file, the cursor and the forward scan.
#include "PlainDb.h"
#include "store/Connection.h"
#include "store/DateText.h"
#include "store/JetSql.h"
#include "store/Like.h"
#include "store/Recordset.h"
#include "store/Scan.h"
#include "store/StoreError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <stdexcept>
#include <unistd.h>

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
        QFile schema(LUMO_SCHEMA);
        if (!schema.open(QIODevice::ReadOnly)) throw std::runtime_error("schema not readable");
        QFile(path).open(QIODevice::WriteOnly); // an empty file is an empty database
        exec(QString::fromUtf8(schema.readAll()));
        db.open(path);
    }
    void exec(const QString& sql) const { plainExec(path, sql); }
    QString scalar(const QString& sql) const { return plainScalar(path, sql); }
    QStringList column(const QString& sql) const { return plainColumn(path, sql); }
};

const QString kNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
const QString kNulText = kNul + QStringLiteral(" 空字符");
const QString kMegabyte = QString(1 << 20, QLatin1Char('y'));

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
    void translate_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("date literals")
            << "delete * from mp where 时间点<#2026-12-06# or 结束时间<#2026/1/5 8:30#"
            << "delete from mp where 时间点<'2026-12-06' or 结束时间<'2026-01-05 08:30:00'";
        const char* kept =
            "select * from mp where 时间点<#abc# or 要事='it''s delete * #2026-1-1#'";
        QTest::newRow("quoted text and non-dates untouched") << kept << kept;
    }

    void translate()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(store::translateJetSql(sql), expected);
    }

    void userTextInStatements_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("found");
        auto row = [](const char* name, const QString& term, const QString& found) {
            QTest::newRow(name) << term << found;
        };
        row("quote", "it's", "it's here");
        row("hashes", "#5#", "#5# item");
        row("injection", "'; drop table mp; --", "'; drop table mp; --");
        row("percent is literal", "50%", "50% off");
        row("underscore is literal", "a_b", "a_b");
        row("backslash is literal", "k\\s", "back\\slash");
        row("whole text, any case", "AXB", "axb");
        row("NUL", kNul, kNulText);
        row("a megabyte", kMegabyte, "前" + kMegabyte + "后");
    }

    // A search for any text is just a search: built the way the windows build
    // it, only the rows holding the text come back.
    void userTextInStatements()
    {
        QFETCH(QString, term);
        QFETCH(QString, found);
        StoreFixture fx;
        const QStringList texts = {"it's here", "#5# item",    "'; drop table mp; --",
                                   "50% off",   "500 off",     "a_b",
                                   "axb",       "back\\slash", "k s",
                                   kNulText,    "a b",         "前" + kMegabyte + "后"};
        for (const QString& text : texts)
            fx.exec("insert into mp (要事) values (" + store::quoted(text) + ")");
        Recordset rs("select  * from mp where 要事=" + store::quoted(term) + " or 要事 like " +
                         store::containsPattern(term),
                     fx.db);
        QCOMPARE(walk(rs, 0), QStringList{found});
        QCOMPARE(fx.column("select 要事 from mp"), texts);
    }

    void like_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        auto row = [](const char* pattern, const char* text) {
            QTest::addRow("%s ~ %s", pattern, text)
                << QString::fromUtf8(pattern) << QString::fromUtf8(text);
        };
        row("%abc%", "xxABCxx");
        row("%abc%", "xxabxcx");
        row("%会议%", "开会议事");
        row("a_c", "a长c");
        row("a_c", "a长长c");
        row("_", "");
        row("%b", "ba");
        row("%ab%ab%", "abab");
        row("%aab", "aaab");
        row("Ä%", "ä");
        row("a\\%", "a%");
        row("a\\%", "ab");
        row("%a\\_b%", "xacby");
        row("a\\", "a\\");
        row("%\\%%", "50% off");
    }

    // LIKE on the store's connection gives the engine's own answer, within the engine's limits.
    void like()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        StoreFixture fx;
        const QString sql = "select " + store::quoted(text) + " like " + store::quoted(pattern) +
                            store::likeEscapeClause();
        const QString engine = fx.scalar(sql);
        Recordset rs(sql, fx.db);
        QCOMPARE(rs.text(0), engine);
        QCOMPARE(store::likeMatches(pattern.toUtf8(), text.toUtf8(), U'\\'), engine == "1");
    }

    void dateText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored"); // empty: refused
        auto row = [](const char* text, const char* stored) {
            QTest::newRow(*text ? text : "empty") << QString::fromUtf8(text) << stored;
        };
        for (const char* accepted : {"2026-12-6", "2026/12/6", "2026.12.06", "  2026-12-6 "})
            row(accepted, "2026-12-06");
        row("2026-12-6 8:30", "2026-12-06 08:30:00");
        row("2026/1/6 18:30:05", "2026-01-06 18:30:05");
        row("2026-12-06T08:30:00", "2026-12-06 08:30:00");
        row("2026-12-6 0:00", "2026-12-06");
        row("2024-2-29", "2024-02-29");
        for (const char* refused :
             {"2026-2-30", "2025-2-29", "2026-13-1", "26-12-6", "12/6/2026", "2026/12-6",
              "2026-12-6 24:00", "2026-12-6 8:60", "2026/12/6T08:30", "abc", "", "２０２６-1-1"})
            row(refused, "");
    }

    void dateText()
    {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const std::optional<QDateTime> parsed = store::parseDateText(text);
        QCOMPARE(parsed.has_value(), !stored.isEmpty());
        if (!parsed) return;
        QCOMPARE(store::toStoredDate(*parsed), stored);
        QCOMPARE(store::fromStoredDate(stored), parsed);
    }

    void statementTexts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("count");
        auto row = [](const QString& sql, int count) {
            QTest::newRow(qPrintable(sql)) << sql << count;
        };
        row("select*  from ma", 1);
        row("select * from tp", 1);
        row("select * from bjyy", 0);
        row("select * from mp", 3);
        row("select*  from mp", 3);
        row("select distinct 要事关键字 from mp", 2);
        row("select  * from mp where 要事='X 事务' or 要事 like '%Z%'", 2);
        row("select * from mp where 时间点<#2026-12-06# or 结束时间<#2026-12-06#", 2);
        row("select*  from foxcjdc", 3);
        row("select * from foxcjdc", 3);
        row("select distinct 关键字 from foxcjdc", 2);
        row("select  * from foxcjdc where 超级单词='CAT猫' or 超级单词 like '%apple%'", 2);
        for (const QString table : {"qqzx", "wblb"}) {
            row("select * from " + table, 3);
            row("select * from " + table + " ", 3);
            row("select distinct 分类 from " + table + " where not 分类  is null", 2);
            row("select  * from " + table + " where 分类='甲'", 1);
            row("select distinct 关键字 from " + table, 2);
            row("select  * from " + table + " where 说明='X' or 说明 like '%明%'", 3);
        }
    }

    // Every statement the windows send runs as written; the plain ones accept
    // edits, the distinct lists refuse them, and the row identity never shows.
    void statementTexts()
    {
        QFETCH(QString, sql);
        QFETCH(int, count);
        StoreFixture fx;
        fx.exec("insert into mp (要事, 要事关键字, 时间点, 结束时间) values ('x 事务', 'K', "
                "'2026-12-01', null), ('y', 'k', null, '2026-12-10'), "
                "('z', null, null, '2026-11-30'); insert into foxcjdc (超级单词, 关键字) values "
                "('appleapple苹果', '水果'), ('bananas香蕉', '水果'), ('cat猫', '动物');");
        for (const QString table : {"qqzx", "wblb"})
            fx.exec("insert into " + table +
                    " (外部, 说明, 分类, 关键字) values "
                    "('a', '说明1', '甲', 'k'), ('b', '说明2', null, 'K'), ('c', 'x', '', 'j')");
        Recordset rs(sql, fx.db);
        QCOMPARE(rs.recordCount(), count);
        QVERIFY(!rs.columnNames().contains("_rowid_", Qt::CaseInsensitive));
        QCOMPARE(rs.isUpdatable(), !sql.contains("distinct"));
        if (!rs.isUpdatable()) QVERIFY_THROWS_EXCEPTION(StoreError, rs.collect(0, "new"));
        if (!rs.isUpdatable() || count == 0) return;
        const QString changed = rs.text(0) + "!";
        rs.collect(0, changed);
        rs.update();
        const QString table = sql.section("from ", 1).section(' ', 0, 0);
        QCOMPARE(fx.column("select " + rs.columnNames()[0] + " from " + table).count(changed), 1);
    }

    void executeStatements()
    {
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
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QString("missing") << "unable to open database file";
        QTest::newRow("not a database") << QString("text") << "file is not a database";
        QTest::newRow("read-only") << QString("read-only") << "只读";
    }

    // Opening fails at once, with the engine's words, and never creates or changes a file.
    void openFailures()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        StoreFixture fx;
        QFile file(kind == "read-only" ? fx.path : fx.dir.path() + "/other.mdb");
        const QByteArray notes = QByteArray("These are only notes, not a database.\n").repeated(40);
        if (kind == "text") QVERIFY(file.open(QIODevice::WriteOnly) && file.write(notes) > 0);
        file.close();
        if (kind == "read-only" && (!file.setPermissions(QFile::ReadOwner) ||
                                    ::access(qPrintable(file.fileName()), W_OK) == 0))
            QSKIP("running with rights that ignore file permissions");
        store::Connection db;
        try {
            db.open(file.fileName());
            QFAIL("opened");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        }
        QVERIFY(!db.isOpen());
        QCOMPARE(file.exists(), kind != "missing");
        if (kind == "text") QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == notes);
    }

    // A read-only connection reads a writable file and refuses every change.
    void readOnlyOpen()
    {
        StoreFixture fx;
        fx.exec("insert into mp (要事) values ('x')");
        store::Connection reader;
        reader.open(fx.path, store::Connection::Access::ReadOnly);
        QCOMPARE(sqlite3_db_readonly(reader.handle(), "main"), 1);
        Recordset rs("select * from mp", reader);
        QCOMPARE(rs.text(0), "x");
        rs.collect(0, "y");
        QVERIFY_THROWS_EXCEPTION(StoreError, rs.update());
        QVERIFY_THROWS_EXCEPTION(StoreError, reader.execute("delete from mp"));
        QCOMPARE(fx.column("select 要事 from mp"), QStringList{"x"});
    }

    void deleteDuringWalk_data()
    {
        QTest::addColumn<QString>("doomed");
        QTest::newRow("neighbours") << "bc";
        QTest::newRow("ends and middle") << "ace";
        QTest::newRow("all") << "abcde";
    }

    // The windows' loops test a row, delete it and move on; nothing may be
    // skipped or visited twice, and counts and positions follow the deletes.
    void deleteDuringWalk()
    {
        QFETCH(QString, doomed);
        StoreFixture fx;
        fx.exec("insert into qqzx (外部) values ('a'), ('b'), ('c'), ('d'), ('e')");
        Recordset rs("select * from qqzx", fx.db);
        QString visited, kept;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            const QString name = rs.text("外部");
            visited += name;
            if (!doomed.contains(name)) {
                kept += name;
                continue;
            }
            const int position = rs.absolutePosition();
            rs.deleteCurrent();
            QCOMPARE(rs.recordCount(), 5 - (visited.size() - kept.size()));
            QCOMPARE(rs.text("外部"), name); // still current until the move
            QCOMPARE(rs.absolutePosition(), position);
            QVERIFY_THROWS_EXCEPTION(StoreError, rs.deleteCurrent());
        }
        QCOMPARE(visited, "abcde");
        const QStringList left = kept.split("", Qt::SkipEmptyParts);
        QCOMPARE(walk(rs, 0), left);
        QCOMPARE(fx.column("select 外部 from qqzx"), left);
        for (int i = 0; i < left.size(); ++i) {
            rs.setAbsolutePosition(i + 1);
            QCOMPARE(rs.text(0) + QString::fromUtf8(rs.stored(i, 0)), left[i] + left[i]);
        }
        QVERIFY_THROWS_EXCEPTION(StoreError, rs.setAbsolutePosition(left.size() + 1));
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
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs.absolutePosition(), 2);
        QCOMPARE(walk(rs, 0), (QStringList{"old", "new"}));
        const QString rows =
            "select 要事 || quote(联系人) || quote(每月时间) || quote(每周时间) from mp";
        QCOMPARE(fx.column(rows), (QStringList{"oldNULLNULL'3'", "newNULL''NULL"}));
        Recordset again("select * from mp", fx.db);
        again.moveLast();
        QVERIFY(again.field("联系人").isNull());
        QVERIFY(!again.field("每月时间").isNull());
        rs.moveLast();
        rs.collect("联系人", "x");
        rs.update();
        QCOMPARE(fx.column(rows).value(1), "new'x'''NULL");
        rs.deleteCurrent();
        QCOMPARE(fx.column(rows), QStringList{"oldNULLNULL'3'"});
        // Text columns compare without case, the password exactly.
        fx.exec("update ma set mm = 'Abc'");
        QCOMPARE(Recordset("select*  from ma where mm='abc'", fx.db).recordCount(), 0);
        QCOMPARE(Recordset("select*  from ma where mm='Abc'", fx.db).recordCount(), 1);
    }

    void staleCursor_data()
    {
        QTest::addColumn<QString>("elsewhere");
        QTest::addColumn<bool>("deleting");
        for (bool deleting : {false, true}) {
            auto row = [&](const char* name, const char* sql) {
                QTest::addRow("%s: %s", deleting ? "delete" : "update", name) << sql << deleting;
            };
            row("changed", "update qqzx set 说明='other' where 外部='c'");
            row("changed in case only", "update qqzx set 说明='ABC' where 外部='c'");
            row("deleted", "delete from qqzx where 外部='c'");
            row("row id reused", "delete from qqzx where 外部='c'; "
                                 "insert into qqzx (外部, 说明) values ('new', 'fresh')");
        }
    }

    // A cursor whose row was changed, deleted or replaced by another writer
    // must refuse to write, touch no row, and keep nothing pending.
    void staleCursor()
    {
        QFETCH(QString, elsewhere);
        QFETCH(bool, deleting);
        StoreFixture fx;
        fx.exec("insert into qqzx (外部, 说明) values ('a', 'abc'), ('b', 'abc'), ('c', 'abc')");
        Recordset rs("select * from qqzx", fx.db);
        rs.moveLast();
        fx.exec(elsewhere);
        const QString snapshot = "select group_concat(rowid || 外部 || 说明, ',') from qqzx";
        const QString before = fx.scalar(snapshot);
        if (!deleting) rs.collect("说明", "mine");
        QVERIFY_THROWS_EXCEPTION(StoreError, deleting ? rs.deleteCurrent() : rs.update());
        QCOMPARE(rs.text("说明"), "abc");
        rs.update();
        QCOMPARE(fx.scalar(snapshot), before);
        QCOMPARE(walk(rs, 0), (QStringList{"a", "b", "c"}));
    }

    void dateColumns_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::addColumn<QString>("shown");
        auto row = [](const char* name, bool adding, const QVariant& value, const char* stored,
                      const char* shown) {
            QTest::newRow(name) << adding << value << QString(stored) << QString(shown);
        };
        row("text", false, "2004/5/16 8:05", "2004-05-16 08:05:00", "2004-5-16 8:05:00");
        row("QDate, new row", true, QDate(2026, 1, 6), "2026-01-06", "2026-1-6");
        row("QDateTime", false, QDateTime(QDate(2026, 12, 6), QTime(9, 5)), "2026-12-06 09:05:00",
            "2026-12-6 9:05:00");
        row("null, new row", true, QVariant(), "<null>", "");
        row("refused words", false, "abc", "", "");
        row("refused empty", false, "", "", "");
        row("refused, new row", true, "12/6/26", "", "");
    }

    // Dates are stored in ISO form and read back as short text and QDateTime. A
    // refused date stores nothing of the row, drops what was pending and leaves
    // the cursor as usable as before.
    void dateColumns()
    {
        QFETCH(bool, adding);
        QFETCH(QVariant, value);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        StoreFixture fx;
        fx.exec("insert into mp (要事, 时间点) values ('old', '2026-12-06')");
        const QString rows = "select 要事 || ifnull(时间点, '<null>') from mp";
        Recordset rs("select * from mp", fx.db);
        if (adding) rs.addNew();
        rs.collect("要事", "new");
        if (!stored.isEmpty()) {
            rs.collect("时间点", value);
            rs.update();
            QCOMPARE(rs.text("时间点"), shown);
            QCOMPARE(fx.column(rows).last(), "new" + stored);
            rs.open("select * from mp", fx.db);
            rs.moveLast();
            QCOMPARE(rs.text("时间点"), shown);
            QCOMPARE(rs.field("时间点").isNull(), value.isNull());
            if (!value.isNull())
                QCOMPARE(store::toStoredDate(rs.field("时间点").toDateTime()), stored);
            return;
        }
        try {
            rs.collect("时间点", value);
            rs.update();
            QFAIL("the value was accepted");
        } catch (const StoreError& error) {
            QCOMPARE(error.message(), "“" + value.toString() + "”不是有效的日期（时间点）");
        }
        rs.update(); // nothing left to store
        QCOMPARE(fx.column(rows), QStringList{"old2026-12-06"});
        QCOMPARE(rs.recordCount(), 1);
        rs.moveFirst();
        rs.collect("要事", "later");
        rs.update();
        QCOMPARE(fx.column(rows), QStringList{"later2026-12-06"});
    }

    // One prepared pass, bound and rewound for each use; null stays apart from empty text.
    void scan()
    {
        StoreFixture fx;
        fx.exec(
            "insert into mp (联系人, 时间点) values (null, '2026-12-06'), ('', null), ('x', null)");
        store::Scan scan(fx.db, "select 联系人, rowid from mp where rowid >= ? and 时间点 is not "
                                "#2026-1-1#");
        auto pass = [&](qint64 from, int rows) {
            scan.bind(1, from);
            QString seen;
            while (rows-- > 0 && scan.next())
                seen += QString::number(scan.integer(1)) + (scan.isNull(0) ? "n" : "") +
                        (scan.raw(0).isNull() ? "0" : "") + scan.text(0) + ";";
            scan.rewind();
            return seen;
        };
        QCOMPARE(pass(2, 1), "2;"); // left midway
        QCOMPARE(pass(1, 9), "1n0;2;3x;");
        QCOMPARE(pass(3, 9), "3x;");
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "test_store.moc"
