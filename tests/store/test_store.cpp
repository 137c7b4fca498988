// Statement texts, quoting, dates and opening the file.
#include "StoreFixture.h"
#include "TestStore.h"

#include "store/Connection.h"
#include "store/DateText.h"
#include "store/JetSql.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <unistd.h>

using store::Connection;
using store::Recordset;
using store::StoreError;

namespace {

// Rows that give every statement text a result worth counting.
void populate(const StoreFixture& fx) {
    fx.exec(
        QStringLiteral("insert into mp (要事, 要事关键字, 时间点, 结束时间) values "
                       "('x 事务', 'K', '2026-12-01', null), ('y', 'k', null, '2026-12-10'),"
                       " ('z', null, null, '2026-11-30');"
                       "insert into foxcjdc (超级单词, 关键字) values "
                       "('appleapple苹果', '水果'), ('bananas香蕉', '水果'), ('cat猫', '动物');"));
    for (const char* table : {"qqzx", "wblb"})
        fx.exec(QStringLiteral(
                    "insert into %1 (外部, 说明, 分类, 关键字) values "
                    "('a', '说明1', '甲', 'k'), ('b', '说明2', null, 'K'), ('c', 'x', '', 'j')")
                    .arg(QLatin1String(table)));
}

} // namespace

void TestStore::translate_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("delete star") << "delete * from mp"
                                 << "delete from mp";
    QTest::newRow("delete star, tight, upper") << "DELETE*FROM mp"
                                               << "delete from mp";
    QTest::newRow("date literals")
        << "delete * from mp where 时间点<#2026-12-06# or 结束时间<#2026-12-6#"
        << "delete from mp where 时间点<'2026-12-06' or 结束时间<'2026-12-06'";
    QTest::newRow("date literal with time")
        << "select * from mp where 时间点<#2026/1/5 8:30#"
        << "select * from mp where 时间点<'2026-01-05 08:30:00'";
    QTest::newRow("quoted text untouched")
        << "select  * from mp where 要事='delete * from #2026-1-1# it''s' or 要事 like '%#5#%'"
        << "select  * from mp where 要事='delete * from #2026-1-1# it''s' or 要事 like '%#5#%'";
    QTest::newRow("spacing kept") << "select*  from ma"
                                  << "select*  from ma";
    QTest::newRow("not a date stays") << "select * from mp where 时间点<#abc#"
                                      << "select * from mp where 时间点<#abc#";
}

void TestStore::translate() {
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(store::translateJetSql(sql), expected);
}

void TestStore::userTextInStatements_data() {
    QTest::addColumn<QString>("term");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("quote") << "it's" << QStringList{"it's here"};
    QTest::newRow("hashes") << "#5#" << QStringList{"#5# item"};
    QTest::newRow("injection") << "'; drop table mp; --" << QStringList{"'; drop table mp; --"};
    QTest::newRow("percent is literal") << "50%" << QStringList{"50% off"};
    QTest::newRow("underscore is literal") << "a_b" << QStringList{"a_b"};
    QTest::newRow("backslash") << "k\\s" << QStringList{"back\\slash"};
    QTest::newRow("whole text, any case") << "AXB" << QStringList{"axb"};
}

// A search for any text is just a search: the statement is built the way
// the windows build it and only the rows holding the text come back.
void TestStore::userTextInStatements() {
    QFETCH(QString, term);
    QFETCH(QStringList, found);
    StoreFixture fx;
    for (const char* text : {"it's here", "#5# item", "'; drop table mp; --", "50% off", "500 off",
                             "a_b", "axb", "back\\slash", "k s"}) {
        fx.exec(QStringLiteral("insert into mp (要事) values (%1)")
                    .arg(store::quoted(QString::fromUtf8(text))));
    }
    Connection db;
    db.open(fx.path());
    Recordset rs(QStringLiteral("select  * from mp where 要事=") + store::quoted(term) +
                     QStringLiteral(" or 要事 like ") + store::containsPattern(term),
                 db);
    QVERIFY(rs.isUpdatable());
    QCOMPARE(walkForward(rs, 0), found);
    QCOMPARE(fx.scalar(QStringLiteral("select count(*) from mp")), QStringLiteral("9"));
}

void TestStore::dateText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::newRow("dashes") << "2026-12-6"
                            << "2026-12-06";
    QTest::newRow("slashes") << "2026/12/6"
                             << "2026-12-06";
    QTest::newRow("dots") << "2026.1.5"
                          << "2026-01-05";
    QTest::newRow("iso") << "2026-12-06"
                         << "2026-12-06";
    QTest::newRow("blanks around") << "  2026-12-6 "
                                   << "2026-12-06";
    QTest::newRow("hours and minutes") << "2026-12-6 8:30"
                                       << "2026-12-06 08:30:00";
    QTest::newRow("seconds") << "2026/12/6 18:30:05"
                             << "2026-12-06 18:30:05";
    QTest::newRow("iso T") << "2026-12-06T08:30:00"
                           << "2026-12-06 08:30:00";
    QTest::newRow("midnight written out") << "2026-12-6 0:00"
                                          << "2026-12-06";
    QTest::newRow("leap day") << "2024-2-29"
                              << "2024-02-29";
    QTest::newRow("30 February") << "2026-2-30"
                                 << "";
    QTest::newRow("leap day, common year") << "2025-2-29"
                                           << "";
    QTest::newRow("month 13") << "2026-13-1"
                              << "";
    QTest::newRow("two-digit year") << "26-12-6"
                                    << "";
    QTest::newRow("locale order") << "12/6/2026"
                                  << "";
    QTest::newRow("mixed separators") << "2026/12-6"
                                      << "";
    QTest::newRow("hour 24") << "2026-12-6 24:00"
                             << "";
    QTest::newRow("minute 60") << "2026-12-6 8:60"
                               << "";
    QTest::newRow("T after slashes") << "2026/12/6T08:30"
                                     << "";
    QTest::newRow("words") << "abc"
                           << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("full-width digits") << "２０２６-1-1"
                                       << "";
}

void TestStore::dateText() {
    QFETCH(QString, text);
    QFETCH(QString, stored);
    const std::optional<QDateTime> parsed = store::parseDateText(text);
    QCOMPARE(parsed.has_value(), !stored.isEmpty());
    if (!parsed) return;
    QCOMPARE(store::toStoredDate(*parsed), stored);
    QCOMPARE(store::fromStoredDate(stored), parsed);
}

void TestStore::statementTexts_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("updatable");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firstColumn");
    QTest::newRow("ma") << "select*  from ma" << true << 1 << "mm";
    QTest::newRow("mp") << "select * from mp" << true << 3 << "要事";
    QTest::newRow("mp tight") << "select*  from mp" << true << 3 << "要事";
    QTest::newRow("mp keywords") << "select distinct 要事关键字 from mp" << false << 2
                                 << "要事关键字";
    QTest::newRow("mp search") << "select  * from mp where 要事='X 事务' or 要事 like '%Z%'" << true
                               << 2 << "要事";
    QTest::newRow("mp expired")
        << "select * from mp where 时间点<#2026-12-06# or 结束时间<#2026-12-06#" << true << 2
        << "要事";
    QTest::newRow("tp") << "select * from tp" << true << 1 << "图片名称";
    QTest::newRow("bjyy, empty") << "select * from bjyy" << true << 0 << "闹钟音乐";
    QTest::newRow("foxcjdc tight") << "select*  from foxcjdc" << true << 3 << "超级单词";
    QTest::newRow("foxcjdc") << "select * from foxcjdc" << true << 3 << "超级单词";
    QTest::newRow("foxcjdc keywords")
        << "select distinct 关键字 from foxcjdc" << false << 2 << "关键字";
    QTest::newRow("foxcjdc search")
        << "select  * from foxcjdc where 超级单词='CAT猫' or 超级单词 like '%apple%'" << true << 2
        << "超级单词";
    for (const QString& table : {QStringLiteral("qqzx"), QStringLiteral("wblb")}) {
        auto row = [&](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(table + QLatin1Char(' ') + QLatin1String(name)));
        };
        row("all") << "select * from " + table << true << 3 << "外部";
        row("trailing blank") << "select * from " + table + " " << true << 3 << "外部";
        row("categories") << "select distinct 分类 from " + table + " where not 分类  is null"
                          << false << 2 << "分类";
        row("one category") << "select  * from " + table + " where 分类='甲'" << true << 1
                            << "外部";
        row("keywords") << "select distinct 关键字 from " + table << false << 2 << "关键字";
        row("search") << "select  * from " + table + " where 说明='X' or 说明 like '%明%'" << true
                      << 3 << "外部";
    }
}

// Every statement the windows send runs as written; the plain ones accept
// edits, the distinct lists refuse them, and the row identity never shows.
void TestStore::statementTexts() {
    QFETCH(QString, sql);
    QFETCH(bool, updatable);
    QFETCH(int, count);
    QFETCH(QString, firstColumn);
    StoreFixture fx;
    populate(fx);
    Connection db;
    db.open(fx.path());
    Recordset rs(sql, db);
    QCOMPARE(rs.recordCount(), count);
    QCOMPARE(rs.columnNames().value(0), firstColumn);
    QVERIFY(!rs.columnNames().contains(QStringLiteral("_rowid_"), Qt::CaseInsensitive));
    QCOMPARE(rs.isUpdatable(), updatable);
    QCOMPARE(rs.eof(), count == 0);
    if (count == 0) return;
    if (!updatable) {
        QVERIFY_THROWS_EXCEPTION(StoreError, rs.collect(0, QStringLiteral("new")));
        return;
    }
    const QString changed = rs.text(0) + QStringLiteral("!");
    rs.collect(0, changed);
    rs.update();
    QCOMPARE(rs.text(0), changed);
    const QString table = sql.section(QStringLiteral("from "), 1).section(QLatin1Char(' '), 0, 0);
    QCOMPARE(fx.column(QStringLiteral("select count(*) from %1 where %2 = %3")
                           .arg(table, firstColumn, store::quoted(changed))),
             QStringList{"1"});
}

void TestStore::executeStatements() {
    StoreFixture fx;
    populate(fx);
    Connection db;
    db.open(fx.path());
    QCOMPARE(db.execute(QStringLiteral(
                 "delete * from mp where 时间点<#2026-12-06# or 结束时间<#2026-12-06#")),
             2);
    QCOMPARE(fx.column(QStringLiteral("select 要事 from mp")), QStringList{"y"});
    // A second statement smuggled into the text never runs.
    QVERIFY_THROWS_EXCEPTION(StoreError,
                             db.execute(QStringLiteral("delete from mp; drop table foxcjdc")));
    QCOMPARE(fx.scalar(QStringLiteral("select count(*) from foxcjdc")), QStringLiteral("3"));
    QCOMPARE(db.execute(QStringLiteral("delete * from mp")), 1);
    QVERIFY_THROWS_EXCEPTION(StoreError, db.execute(QStringLiteral("delete * from nosuchtable")));
}

void TestStore::openFailures_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "missing"
                             << "unable to open database file";
    QTest::newRow("not a database") << "text"
                                    << "file is not a database";
    QTest::newRow("folder") << "folder"
                            << "unable to open database file";
    QTest::newRow("read-only") << "read-only"
                               << "只读";
}

// Opening fails at once, with the engine's words, and never creates or
// changes a file.
void TestStore::openFailures() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    StoreFixture fx;
    QString path = fx.folder() + QStringLiteral("/missing.mdb");
    const QByteArray notes = QByteArray("These are only notes, not a database.\n").repeated(40);
    if (kind == QLatin1String("text")) {
        path = fx.folder() + QStringLiteral("/notes.mdb");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(notes);
    } else if (kind == QLatin1String("folder")) {
        path = fx.folder();
    } else if (kind == QLatin1String("read-only")) {
        path = fx.path();
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (::access(path.toLocal8Bit().constData(), W_OK) == 0)
            QSKIP("running with rights that ignore file permissions");
    }
    Connection db;
    try {
        db.open(path);
        QFAIL("opened");
    } catch (const StoreError& error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QVERIFY(!db.isOpen());
    if (kind == QLatin1String("missing")) QVERIFY(!QFileInfo::exists(path));
    if (kind == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), notes);
    }
}

QTEST_GUILESS_MAIN(TestStore)
