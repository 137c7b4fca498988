// The cursor: walking, adding, changing and deleting rows.
#include "StoreFixture.h"
#include "TestStore.h"

#include "store/Connection.h"
#include "store/DateText.h"
#include "store/JetSql.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QTest>

using store::Connection;
using store::Recordset;
using store::StoreError;

void TestStore::deleteDuringWalk_data() {
    QTest::addColumn<QString>("doomed");
    QTest::newRow("none") << "";
    QTest::newRow("first") << "a";
    QTest::newRow("last") << "e";
    QTest::newRow("neighbours") << "bc";
    QTest::newRow("alternate") << "ace";
    QTest::newRow("all") << "abcde";
}

// The windows' loops test a row, delete it and move on; nothing may be
// skipped or visited twice, and counts and positions follow the deletes.
void TestStore::deleteDuringWalk() {
    QFETCH(QString, doomed);
    StoreFixture fx;
    fx.exec(QStringLiteral("insert into qqzx (外部) values ('a'), ('b'), ('c'), ('d'), ('e')"));
    Connection db;
    db.open(fx.path());
    Recordset rs(QStringLiteral("select * from qqzx"), db);

    QStringList visited;
    QStringList kept;
    int count = 5;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString name = rs.text(QStringLiteral("外部"));
        visited << name;
        if (!doomed.contains(name)) {
            kept << name;
            continue;
        }
        const int position = rs.absolutePosition();
        rs.deleteCurrent();
        --count;
        QCOMPARE(rs.recordCount(), count);
        QVERIFY(!rs.eof());
        QCOMPARE(rs.text(QStringLiteral("外部")), name); // still current until the move
        QCOMPARE(rs.absolutePosition(), position);
        QVERIFY_THROWS_EXCEPTION(StoreError, rs.deleteCurrent());
    }
    QCOMPARE(visited.join(QString()), QStringLiteral("abcde"));
    QCOMPARE(walkForward(rs, 0), kept);
    QCOMPARE(walkBackward(rs, 0), kept);
    QCOMPARE(fx.column(QStringLiteral("select 外部 from qqzx")), kept);
    for (int i = 0; i < kept.size(); ++i) {
        QCOMPARE(rs.rowText(i, 0), kept[i]);
        rs.setAbsolutePosition(i + 1);
        QCOMPARE(rs.text(0), kept[i]);
        QCOMPARE(rs.absolutePosition(), i + 1);
    }
    QVERIFY_THROWS_EXCEPTION(StoreError, rs.setAbsolutePosition(kept.size() + 1));
    if (kept.isEmpty()) {
        rs.moveFirst();
        QVERIFY(rs.eof() && rs.bof());
        QCOMPARE(rs.absolutePosition(), -1);
    }
}

void TestStore::addNewJoinsTheEnd() {
    StoreFixture fx;
    fx.exec(QStringLiteral("insert into mp (要事, 每周时间) values ('old', '3')"));
    Connection db;
    db.open(fx.path());
    Recordset rs(QStringLiteral("select * from mp"), db);
    rs.addNew();
    rs.collect(QStringLiteral("要事"), QStringLiteral("new"));
    rs.collect(QStringLiteral("时间点"), QStringLiteral("2026-12-6"));
    rs.update();
    QCOMPARE(rs.recordCount(), 2);
    QCOMPARE(rs.absolutePosition(), 2);
    QCOMPARE(rs.text(QStringLiteral("要事")), QStringLiteral("new"));
    QCOMPARE(rs.field(QStringLiteral("时间点")),
             QVariant(QDateTime(QDate(2026, 12, 6), QTime(0, 0))));
    QVERIFY(
        rs.field(QStringLiteral("每周时间")).isNull()); // columns not collected keep the default
    QCOMPARE(rs.rowText(1, 0), QStringLiteral("new"));
    QCOMPARE(walkForward(rs, 0), (QStringList{"old", "new"}));
    QCOMPARE(fx.column(QStringLiteral("select 要事 || '|' || ifnull(每周时间, '<null>') from mp")),
             (QStringList{"old|3", "new|<null>"}));

    // The added row is a row like any other: it can be changed and deleted.
    rs.moveLast();
    rs.collect(QStringLiteral("要事"), QStringLiteral("newer"));
    rs.update();
    rs.deleteCurrent();
    QCOMPARE(fx.column(QStringLiteral("select 要事 from mp")), QStringList{"old"});
}

void TestStore::staleCursor_data() {
    QTest::addColumn<QString>("elsewhere");
    QTest::addColumn<bool>("deleting");
    QTest::addColumn<bool>("refused");
    for (bool deleting : {false, true}) {
        const char* op = deleting ? "delete: " : "update: ";
        auto row = [&](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(QLatin1String(op) + QLatin1String(name)));
        };
        row("nobody else") << "" << deleting << false;
        row("changed") << "update qqzx set 说明='other' where 外部='c'" << deleting << true;
        row("changed in case only")
            << "update qqzx set 说明='ABC' where 外部='c'" << deleting << true;
        row("deleted") << "delete from qqzx where 外部='c'" << deleting << true;
        row("row id reused") << "delete from qqzx where 外部='c'; insert into qqzx (外部, 说明) "
                                "values ('new', 'fresh')"
                             << deleting << true;
    }
}

// A cursor whose row was changed, deleted or replaced by another writer
// must refuse to write, and must not touch any other row.
void TestStore::staleCursor() {
    QFETCH(QString, elsewhere);
    QFETCH(bool, deleting);
    QFETCH(bool, refused);
    StoreFixture fx;
    fx.exec(QStringLiteral(
        "insert into qqzx (外部, 说明) values ('a', 'abc'), ('b', 'abc'), ('c', 'abc')"));
    Connection db;
    db.open(fx.path());
    Recordset rs(QStringLiteral("select * from qqzx"), db);
    rs.moveLast();
    if (!elsewhere.isEmpty()) fx.exec(elsewhere);
    const QString snapshot =
        QStringLiteral("select group_concat(rowid || 外部 || ifnull(说明, '-'), ',') from qqzx");
    const QString before = fx.scalar(snapshot);

    auto write = [&] {
        if (deleting) {
            rs.deleteCurrent();
        } else {
            rs.collect(QStringLiteral("说明"), QStringLiteral("mine"));
            rs.update();
        }
    };
    if (!refused) {
        write();
        QCOMPARE(fx.scalar(snapshot),
                 deleting ? QStringLiteral("1aabc,2babc") : QStringLiteral("1aabc,2babc,3cmine"));
        return;
    }
    QVERIFY_THROWS_EXCEPTION(StoreError, write());
    QCOMPARE(fx.scalar(snapshot), before);
    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(rs.text(QStringLiteral("说明")), QStringLiteral("abc")); // nothing pending any more
    rs.update();
    QCOMPARE(fx.scalar(snapshot), before);
    QCOMPARE(walkForward(rs, 0), (QStringList{"a", "b", "c"}));
}

void TestStore::refusedValues_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message"); // empty: the engine's own
    QTest::newRow("words as date") << "mp" << false << "时间点"
                                   << "abc"
                                   << "“abc”不是有效的日期（时间点）";
    QTest::newRow("30 February") << "mp" << false << "结束时间"
                                 << "2026-2-30"
                                 << "“2026-2-30”不是有效的日期（结束时间）";
    QTest::newRow("empty date") << "mp" << false << "起始时间"
                                << ""
                                << "“”不是有效的日期（起始时间）";
    QTest::newRow("words as date, new row") << "mp" << true << "时间点"
                                            << "12/6/26"
                                            << "“12/6/26”不是有效的日期（时间点）";
    QTest::newRow("check fails") << "t" << false << "b"
                                 << "too long"
                                 << "";
    QTest::newRow("check fails, new row") << "t" << true << "b"
                                          << "too long"
                                          << "";
}

// A refused value stores nothing of the row, drops what was pending and
// leaves the cursor as usable as before.
void TestStore::refusedValues() {
    QFETCH(QString, table);
    QFETCH(bool, adding);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, message);
    StoreFixture fx;
    fx.exec(QStringLiteral("create table t (a TEXT, b TEXT CHECK (length(b) < 4));"
                           "insert into t (a, b) values ('old', 'ok');"
                           "insert into mp (要事, 时间点) values ('old', '2026-12-06')"));
    const QString first =
        table == QLatin1String("mp") ? QStringLiteral("要事") : QStringLiteral("a");
    const QString snapshot =
        QStringLiteral("select group_concat(quote(%1), ',') from %2").arg(first, table);
    const QString before = fx.scalar(snapshot);
    Connection db;
    db.open(fx.path());
    Recordset rs(QStringLiteral("select * from ") + table, db);
    if (adding) rs.addNew();
    rs.collect(first, QStringLiteral("changed"));
    try {
        rs.collect(column, value);
        rs.update();
        QFAIL("the value was accepted");
    } catch (const StoreError& error) {
        if (!message.isEmpty()) QCOMPARE(error.message(), message);
    }
    QCOMPARE(fx.scalar(snapshot), before);
    QCOMPARE(rs.recordCount(), 1);
    rs.update(); // nothing left to store
    QCOMPARE(fx.scalar(snapshot), before);
    rs.moveFirst();
    QCOMPARE(rs.text(first), QStringLiteral("old"));
    rs.collect(first, QStringLiteral("later"));
    rs.update();
    QCOMPARE(fx.scalar(snapshot), QStringLiteral("'later'"));
}

void TestStore::dateColumns_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("short text") << QVariant(QStringLiteral("2004-5-16")) << "2004-05-16"
                                << "2004-5-16";
    QTest::newRow("slashes and time")
        << QVariant(QStringLiteral("2004/5/16 8:05")) << "2004-05-16 08:05:00"
        << "2004-5-16 8:05:00";
    QTest::newRow("QDate") << QVariant(QDate(2026, 12, 6)) << "2026-12-06"
                           << "2026-12-6";
    QTest::newRow("QDateTime") << QVariant(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)))
                               << "2026-12-06 23:59:59"
                               << "2026-12-6 23:59:59";
    QTest::newRow("null") << QVariant() << "<null>"
                          << "";
}

void TestStore::dateColumns() {
    QFETCH(QVariant, value);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    StoreFixture fx;
    Connection db;
    db.open(fx.path());
    {
        Recordset rs(QStringLiteral("select * from mp"), db);
        rs.addNew();
        rs.collect(QStringLiteral("时间点"), value);
        rs.update();
        QCOMPARE(rs.text(QStringLiteral("时间点")), shown);
    }
    QCOMPARE(fx.scalar(QStringLiteral("select ifnull(时间点, '<null>') from mp")), stored);
    Recordset rs(QStringLiteral("select * from mp"), db);
    QCOMPARE(rs.text(QStringLiteral("时间点")), shown);
    const QVariant read = rs.field(QStringLiteral("时间点"));
    QCOMPARE(read.isNull(), stored == QLatin1String("<null>"));
    if (!read.isNull()) {
        QCOMPARE(read.typeId(), int(QMetaType::QDateTime));
        QCOMPARE(store::toStoredDate(read.toDateTime()), stored);
    }
}

void TestStore::nullAndEmptyText() {
    StoreFixture fx;
    Connection db;
    db.open(fx.path());
    Recordset rs(QStringLiteral("select * from mp"), db);
    rs.addNew();
    rs.collect(QStringLiteral("联系人"), QVariant());
    rs.collect(QStringLiteral("每月时间"), QString(QLatin1String("")));
    rs.collect(QStringLiteral("家庭住址"), QStringLiteral("x"));
    rs.update();
    const QString row =
        QStringLiteral("select quote(联系人) || quote(每月时间) || quote(家庭住址) from mp");
    QCOMPARE(fx.scalar(row), QStringLiteral("NULL'''x'"));
    Recordset again(QStringLiteral("select * from mp"), db);
    QVERIFY(again.field(QStringLiteral("联系人")).isNull());
    QCOMPARE(again.field(QStringLiteral("每月时间")), QVariant(QString()));
    QVERIFY(!again.field(QStringLiteral("每月时间")).isNull());
    QCOMPARE(again.text(QStringLiteral("联系人")), QString());
    again.collect(QStringLiteral("家庭住址"), QVariant());
    again.update();
    QCOMPARE(fx.scalar(row), QStringLiteral("NULL''NULL"));

    // Text columns compare without case, the password exactly.
    fx.exec(QStringLiteral("update ma set mm = 'Abc'; insert into qqzx (外部) values ('QQ')"));
    QCOMPARE(Recordset(QStringLiteral("select * from qqzx where 外部='qq'"), db).recordCount(), 1);
    QCOMPARE(Recordset(QStringLiteral("select*  from ma where mm='abc'"), db).recordCount(), 0);
    QCOMPARE(Recordset(QStringLiteral("select*  from ma where mm='Abc'"), db).recordCount(), 1);
}

void TestStore::numbersReadAsText() {
    StoreFixture fx;
    fx.exec(QStringLiteral(
        "create table n (x, y NUMERIC); insert into n values (42, '7'), (1.5, null)"));
    Connection db;
    db.open(fx.path());
    Recordset rs(QStringLiteral("select * from n"), db);
    QCOMPARE(rs.field(0), QVariant(QStringLiteral("42")));
    QCOMPARE(rs.text(1), QStringLiteral("7"));
    // The stored number is still recognised as this row's value.
    rs.collect(1, QStringLiteral("8"));
    rs.update();
    rs.moveNext();
    QCOMPARE(rs.text(0), QStringLiteral("1.5"));
    rs.deleteCurrent();
    QCOMPARE(fx.column(QStringLiteral("select y from n")), QStringList{"8"});
}
