// Where the book lives, and the copies kept of it.
#include "PlainDb.h"
#include "WriteProtect.h"
#include "store/Backup.h"
#include "store/BookFolders.h"
#include "store/Connection.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void write(const QString& path, const QByteArray& content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

// The files under `folder`, relative, sorted; folders end in "/".
QStringList tree(const QString& folder)
{
    QStringList found;
    const QDir root(folder);
    for (const QFileInfo& info :
         root.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        found << info.fileName() + (info.isDir() ? "/" : "");
        if (info.isDir())
            for (const QString& inner : tree(info.filePath()))
                found << info.fileName() + "/" + inner;
    }
    return found;
}

// An installed layout: programs in prefix/lib/lumo, the seed in prefix/share/lumo.
struct Layout {
    QTemporaryDir dir;
    QString program = dir.filePath("prefix/lib/lumo");
    QString shared = dir.filePath("prefix/share/lumo");
    Layout()
    {
        QDir().mkpath(program);
        QDir().mkpath(shared + "/seed");
        QFile::copy(LUMO_SEED_DB, shared + "/seed/rmd.mdb");
    }
};

} // namespace

class TestBook : public QObject {
    Q_OBJECT

private slots:
    void whereTheBookLives_data()
    {
        QTest::addColumn<QString>("given");    // what exists before the start
        QTest::addColumn<QString>("xdg");      // XDG_DATA_HOME, "-" unset
        QTest::addColumn<QString>("folders");  // data and resources found, portable or not
        QTest::addColumn<QString>("problem");  // part of the message, empty for none
        QTest::addColumn<QStringList>("data"); // the data folder's files after the start
        const QStringList fresh{"rmd.mdb", "wbwj/"};
        const auto row = [](const char* name, const char* given, const char* xdg,
                            const char* folders, const char* problem, const QStringList& data) {
            QTest::newRow(name) << QString(given) << QString(xdg) << QString(folders)
                                << QString(problem) << data;
        };
        const QStringList book{"rmd.mdb"}, none;
        row("book beside the program", "portable", "@/xdg", "prog prog portable", "", book);
        row("write-protected book beside the program", "portable readonly", "@/xdg",
            "prog prog portable", "", book);
        row("folder named rmd.mdb beside the program", "portable folder", "@/xdg",
            "prog prog portable", "不是数据库文件", {"rmd.mdb/"});
        row("first start, XDG_DATA_HOME", "", "@/xdg", "xdg share user", "", fresh);
        row("first start, no XDG_DATA_HOME", "", "-", "home share user", "", fresh);
        row("relative XDG_DATA_HOME is ignored", "", "xdg", "home share user", "", fresh);
        row("later start keeps the book", "user book", "@/xdg", "xdg share user", "", book);
        row("lost book is not replaced", "user folder", "@/xdg", "xdg share user", "lumo --restore",
            none);
        row("book is a folder", "user book-folder", "@/xdg", "xdg share user", "不是数据库文件",
            {"rmd.mdb/"});
        row("data folder is a file", "user file", "@/xdg", "xdg share user", "不是文件夹", none);
        row("no seed installed", "no seed", "@/xdg", "xdg prog user", "找不到初始数据库", none);
        row("XDG_DATA_HOME write-protected", "readonly xdg", "@/xdg", "xdg share user", "无法建立",
            none);
        row("no home at all", "no home", "-", " share user", "HOME", none);
    }

    void whereTheBookLives()
    {
        QFETCH(QString, given);
        QFETCH(QString, xdg);
        QFETCH(QString, folders);
        QFETCH(QString, problem);
        QFETCH(QStringList, data);
        Layout layout;
        const QString root = layout.dir.path();
        const QString userData = root + "/xdg/lumo";
        QProcessEnvironment environment;
        if (given != "no home") environment.insert("HOME", root + "/home");
        if (xdg != "-") environment.insert("XDG_DATA_HOME", QString(xdg).replace("@", root));
        QDir().mkpath(root + "/xdg");

        const QString own = layout.program + "/rmd.mdb";
        std::unique_ptr<WriteProtected> protect;
        if (given.startsWith("portable")) {
            if (given.endsWith("folder"))
                QDir().mkpath(own);
            else
                QFile::copy(LUMO_SEED_DB, own);
            if (given.endsWith("readonly")) QFile(own).setPermissions(QFileDevice::ReadOwner);
        } else if (given == "user book") {
            write(userData + "/rmd.mdb", "kept as it is");
        } else if (given == "user folder") {
            QDir().mkpath(userData);
        } else if (given == "user book-folder") {
            QDir().mkpath(userData + "/rmd.mdb");
        } else if (given == "user file") {
            write(userData, "a file");
        } else if (given == "no seed") {
            QDir(layout.shared).removeRecursively();
        } else if (given == "readonly xdg") {
            write(root + "/xdg/other", "x");
            protect = std::make_unique<WriteProtected>(root + "/xdg/other");
            if (!protect->active()) QSKIP("this file system cannot write-protect a folder");
        }

        const store::BookPlace place = store::locateBook(layout.program, environment);
        protect.reset();
        const auto name = [&](const QString& path) {
            return path == layout.program  ? QString("prog")
                   : path == userData      ? QString("xdg")
                   : path == layout.shared ? QString("share")
                   : path == root + "/home/.local/share/lumo"
                       ? QString("home")
                       : QString(path.isEmpty() ? "" : "?" + path);
        };
        QCOMPARE(name(place.folders.data) + " " + name(place.folders.resources) + " " +
                     (place.folders.portable ? "portable" : "user"),
                 folders);
        QCOMPARE(place.folders.program, layout.program);
        QVERIFY2(problem.isEmpty() ? place.problem.isEmpty() : place.problem.contains(problem),
                 qPrintable(place.problem));
        QCOMPARE(place.lost, given == "user folder");
        if (!place.problem.isEmpty() && !place.folders.data.isEmpty())
            QVERIFY2(place.problem.contains(QDir::toNativeSeparators(place.folders.data)),
                     qPrintable(place.problem));
        const QString dataFolder = place.folders.data.isEmpty() ? userData : place.folders.data;
        QCOMPARE(tree(dataFolder), data);
        // Nothing half made is left beside it.
        QCOMPARE(tree(root + "/xdg").filter(".lumo-new"), QStringList());
        if (data == QStringList{"rmd.mdb", "wbwj/"}) {
            QCOMPARE(bytes(place.folders.book()), bytes(LUMO_SEED_DB));
            QVERIFY(QFileInfo(place.folders.book()).isWritable());
        }
        if (given == "user book")
            QCOMPARE(bytes(place.folders.book()), QByteArray("kept as it is"));
    }

    // One copy a day, named by the day; the newest fourteen are kept.
    void dailyBackups_data()
    {
        QTest::addColumn<QList<int>>("days"); // days after 2026-12-01 the organiser starts
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("twice on one day") << QList<int>{0, 0} << QStringList{"01:1"};
        QTest::newRow("two days") << QList<int>{0, 1} << QStringList{"01:1", "02:2"};
        QList<int> sixteen;
        QStringList last14;
        for (int day = 0; day < 16; ++day) {
            sixteen << day;
            if (day >= 2) last14 << QString("%1:%2").arg(day + 1, 2, 10, QChar('0')).arg(day + 1);
        }
        QTest::newRow("sixteen days") << sixteen << last14;
    }

    void dailyBackups()
    {
        QFETCH(QList<int>, days);
        QFETCH(QStringList, kept);
        QTemporaryDir dir;
        const QString book = dir.filePath("rmd.mdb");
        const QString backups = dir.filePath("backups");
        QVERIFY(QFile::copy(LUMO_SEED_DB, book));
        for (int day : days) {
            plainExec(book, "insert into mp (要事) values ('day')");
            store::dailyBackup(book, backups, QDate(2026, 12, 1).addDays(day));
        }
        // Each copy holds the book as it was on its day.
        QStringList found;
        for (const QString& name : store::dailyBackups(backups))
            found << name.mid(14, 2) + ":" +
                         plainScalar(backups + "/" + name, "select count(*) from mp");
        QCOMPARE(found, kept);
        QCOMPARE(QDir(backups).entryList(QDir::Files).size(), kept.size()); // no half copies
    }

    void copiesBeforeDeleting()
    {
        QTemporaryDir dir;
        const QString book = dir.filePath("rmd.mdb");
        QVERIFY(QFile::copy(LUMO_SEED_DB, book));
        store::Connection connection;
        connection.open(book);
        const QDateTime now(QDate(2026, 12, 6), QTime(9, 0));
        // The same moment twelve times: each gets a name of its own.
        for (int n = 1; n <= 12; ++n) {
            plainExec(book, "insert into mp (要事) values ('row')");
            store::backupBeforeDeleting(connection, dir.filePath("backups"), "delete-all", now);
        }
        const QStringList names = store::deletionBackups(dir.filePath("backups"));
        QCOMPARE(names.size(), store::kDeletionBackupsKept);
        QCOMPARE(names.first(), "before-20261206-090000002-delete-all.mdb");
        QCOMPARE(plainScalar(dir.filePath("backups/" + names.last()), "select count(*) from mp"),
                 "12");
    }

    void failedBackupLeavesNothing()
    {
        QTemporaryDir dir;
        const QString book = dir.filePath("rmd.mdb");
        QVERIFY(QFile::copy(LUMO_SEED_DB, book));
        write(dir.filePath("backups/placeholder"), "x");
        const WriteProtected protect(dir.filePath("backups/placeholder"));
        if (!protect.active()) QSKIP("this file system cannot write-protect a folder");
        try {
            store::dailyBackup(book, dir.filePath("backups"), QDate(2026, 12, 6));
            QFAIL("a backup into a write-protected folder reported success");
        } catch (const store::StoreError& e) {
            QVERIFY2(e.message().contains("daily-2026-12-06.mdb"), qPrintable(e.message()));
        }
        QCOMPARE(tree(dir.filePath("backups")), QStringList{"placeholder"});
    }

    void restore_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("problem"); // empty: restored
        const auto row = [](const char* name, const char* source, const char* problem) {
            QTest::newRow(name) << QString(source) << QString(problem);
        };
        row("a Lumo book", "book", "");
        row("a book with columns added later", "extra column", "");
        row("not a database", "text", "不是可以读取的 Lumo 数据库");
        row("a book missing a table", "no wblb", "缺少表 wblb");
        row("a table missing a column", "no 关键字", "缺少列 关键字");
        row("a truncated book", "truncated", "copy.mdb");
        row("no such file", "missing", "不存在");
        row("the book itself", "itself", "就是正在使用的数据库");
    }

    void restore()
    {
        QFETCH(QString, source);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString book = dir.filePath("rmd.mdb");
        const QString backups = dir.filePath("backups");
        QVERIFY(QFile::copy(LUMO_SEED_DB, book));
        plainExec(book, "insert into mp (要事) values ('current')");
        QString copy = dir.filePath("copy.mdb");
        QVERIFY(QFile::copy(LUMO_SEED_DB, copy));
        plainExec(copy, "insert into mp (要事) values ('restored')");
        if (source == "extra column") plainExec(copy, "alter table mp add column 农历 TEXT");
        if (source == "no wblb") plainExec(copy, "drop table wblb");
        if (source == "no 关键字") plainExec(copy, "alter table qqzx drop column 关键字");
        if (source == "text") write(copy, QByteArray("这不是数据库").repeated(500));
        if (source == "missing") copy = dir.filePath("nothing.mdb");
        if (source == "itself") copy = book;
        if (source == "truncated") {
            plainExec(copy, "with recursive n(i) as (select 1 union all select i + 1 from n "
                            "where i < 400) insert into foxcjdc (超级单词) "
                            "select printf('%0500d', i) from n");
            const QByteArray whole = bytes(copy);
            write(copy, whole.left(whole.size() / 2));
        }
        const QByteArray before = bytes(book);
        QString kept;
        try {
            kept =
                store::restoreBook(copy, book, backups, QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
            QVERIFY2(problem.isEmpty(), "a restore that should be refused went through");
        } catch (const store::StoreError& e) {
            QVERIFY2(!problem.isEmpty() && e.message().contains(problem), qPrintable(e.message()));
            QCOMPARE(bytes(book), before);
            QVERIFY(!QDir(backups).exists());
            return;
        }
        QCOMPARE(plainColumn(book, "select 要事 from mp"), QStringList{"restored"});
        QCOMPARE(kept, backups + "/before-20261206-090000000-restore.mdb");
        QCOMPARE(plainColumn(kept, "select 要事 from mp"), QStringList{"current"});
    }

    // A lost book is filled from the copy; there is nothing to keep.
    void restoreIntoLostBook()
    {
        QTemporaryDir dir;
        const QString book = dir.filePath("rmd.mdb");
        QVERIFY(QFile::copy(LUMO_SEED_DB, dir.filePath("copy.mdb")));
        write(book + "-journal", "left by a crash");
        QCOMPARE(store::restoreBook(dir.filePath("copy.mdb"), book, dir.filePath("backups"), {}),
                 QString());
        QCOMPARE(plainScalar(book, "select mm from ma"), "6158");
        QCOMPARE(tree(dir.path()), (QStringList{"copy.mdb", "rmd.mdb"}));
    }
};

QTEST_GUILESS_MAIN(TestBook)
#include "test_book.moc"
