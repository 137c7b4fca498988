#include "TestApp.h"
#include "WriteProtect.h"
#include "app/CommandLine.h"
#include "app/InstanceKey.h"

#include <QtTest>
#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using app::Command;

namespace {

// The exit code, standard output and standard error of one run, joined by
// "|". A folder without its book sends the run to a home of its own.
QString run(const QStringList& arguments, TestApp& app)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QProcessEnvironment home;
    home.insert("HOME", app.path() + "/home");
    const int code =
        app::runCommand(app::parseCommandLine(arguments), app.path(), app.clock, out, err, home);
    return QString::number(code) + "|" + out.data() + "|" + err.data();
}

// A writer killed in the middle of a large change: its journal stays hot.
bool interruptWriter(const QString& path)
{
    const pid_t child = fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        // A one-page cache spills the change into the book before the end.
        sqlite3_exec(db,
                     "pragma cache_size = 1; begin; insert into mp (要事, 每周时间) "
                     "select hex(randomblob(2000)), '0' from (with recursive n(i) as "
                     "(select 1 union all select i + 1 from n where i < 300) select i from n);"
                     "update mp set 每周时间 = '0'",
                     nullptr, nullptr, nullptr);
        raise(SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && QFileInfo(path + "-journal").size() > 0;
}

} // namespace

class TestDueCommandLine : public QObject {
    Q_OBJECT
private slots:
    // The kind of run, then the date or the window asked for.
    void parsing()
    {
        const std::pair<QStringList, const char*> cases[] = {
            {{}, "start"},
            {{"--due", "--bogus", "--help"}, "help"},
            {{"--due", "--date", "2026-12-6"}, "due 2026-12-06"},
            {{"--due", "-platform", "offscreen"}, "due"},
            {{"--due", "--date", "2026-02-30"}, "error"},
            {{"--due", "--date", "2026-12-06", "--date", "2026-12-07"}, "error"},
            {{"--date", "2026-12-06"}, "error"},
            {{"--due", "today"}, "error"},
            {{"--window", "IQDW"}, "start IQDW"},
            {{"--window=iqdw"}, "start IQDW"},
            {{"--window", "QQZXCX"}, "start qqzxcx"},
            {{"--window", "rmd2"}, "error"},
            {{"--due", "--window", "IQDW"}, "error"},
            {{"--notify-due"}, "notify"},
            {{"--notify-due", "--date", "2026-12-7"}, "notify 2026-12-07"},
            {{"--notify-due", "--due"}, "error"},
            {{"--notify-due", "--window", "IQDW"}, "error"}};
        const char* const kinds[] = {"start",  "help",    "due",    "error",  "lunar", "solar",
                                     "backup", "restore", "export", "import", "notify"};
        for (const auto& [arguments, expected] : cases) {
            const Command command = app::parseCommandLine(arguments);
            QString actual = kinds[int(command.kind)];
            if (command.date) actual += " " + command.date->toString(Qt::ISODate);
            if (!command.window.isEmpty()) actual += " " + command.window;
            // The arguments named in a failure.
            QCOMPARE(arguments.join(' ') + " -> " + actual,
                     arguments.join(' ') + " -> " + expected);
            QCOMPARE(command.error.isEmpty(), command.kind != Command::Kind::Error);
        }
    }

    void bookCommands_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "@" stands for the folder
        QTest::addColumn<QString>("given");         // "organiser": one holds the book
        QTest::addColumn<QString>("result");        // start of code, output and errors
        QTest::addColumn<QString>("affairs");       // the book's affairs afterwards
        const auto row = [](const char* name, const QStringList& arguments, const char* given,
                            const char* result, const char* affairs) {
            QTest::newRow(name) << arguments << given << result << affairs;
        };
        row("backup", {"--backup", "@/copy.mdb"}, "", "0|已把数据库", "现在");
        row("backup while the organiser runs", {"--backup=@/copy.mdb"}, "organiser", "0|已把数据库",
            "现在");
        row("backup onto the book itself", {"--backup", "@/rmd.mdb"}, "", "1||rmd：", "现在");
        row("backup with another option", {"--backup", "@/copy.mdb", "--due"}, "",
            "2||rmd：--backup", "现在");
        row("restore", {"--restore", "@/old.mdb"}, "", "0|已用", "从前");
        row("restore while the organiser runs", {"--restore", "@/old.mdb"}, "organiser",
            "1||rmd：Lumo 正在使用", "现在");
        row("restore of a file that is no book", {"--restore", "@/index.txt"}, "",
            "1||rmd：没有恢复", "现在");
        row("restore without a file", {"--restore="}, "", "2||rmd：--restore 后面缺少文件名",
            "现在");
    }

    // --backup copies the book, also while the organiser has it open;
    // --restore replaces it only with a Lumo book and never under an organiser.
    void bookCommands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, given);
        QFETCH(QString, result);
        QFETCH(QString, affairs);
        TestApp app;
        QVERIFY(QFile::copy(app.databasePath(), app.path() + "/old.mdb"));
        plainExec(app.path() + "/old.mdb", "insert into mp (要事) values ('从前')");
        app.exec("insert into mp (要事) values ('现在')");
        QFile text(app.path() + "/index.txt");
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("不是数据库"));
        text.close();
        QLockFile organiser(app::instanceLockPath(app::instanceKey(app.databasePath())));
        if (given == "organiser") QVERIFY(organiser.tryLock(0));
        arguments.replaceInStrings("@", app.path());
        const QString actual = run(arguments, app);
        QVERIFY2(actual.startsWith(result), qPrintable(actual));
        QCOMPARE(app.column("select 要事 from mp").join(','), affairs);
        if (result.startsWith("0|已把"))
            QCOMPARE(plainColumn(app.path() + "/copy.mdb", "select 要事 from mp").join(','),
                     "现在");
    }

    void failuresPrintNothingOnStandardOutput()
    {
        TestApp app;
        QString result = run({"--due", "--date", "2026-13-01"}, app);
        QVERIFY2(result.startsWith("2||") && result.contains("2026-13-01"), qPrintable(result));
        // A missing database file, then one that is no database.
        for (const QByteArray& content : {QByteArray(), QByteArray("这不是数据库").repeated(200)}) {
            QFile::remove(app.databasePath());
            QFile file(app.databasePath());
            if (!content.isEmpty())
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0);
            file.close();
            result = run({"--due"}, app);
            QVERIFY2(
                result.startsWith("2||") &&
                    result.contains(content.isEmpty() ? "找不到初始数据库" : "无法读取数据库") &&
                    result.contains("rmd.mdb"),
                qPrintable(result));
        }
    }

    void lunarConversions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("result"); // exit code|standard output, or the refused text
        QTest::newRow("lunar") << QStringList{"--lunar", "2027-09-08"} << "0|丁未年八月初八\n";
        QTest::newRow("lunar of a leap month")
            << QStringList{"--lunar=2025-7-25"} << "0|乙巳年闰六月初一\n";
        QTest::newRow("lunar first day")
            << QStringList{"--lunar", "1901-01-01"} << "0|庚子年冬月十一\n";
        QTest::newRow("solar") << QStringList{"--solar", "2027-8-8"} << "0|2027-09-08\n";
        QTest::newRow("solar of a leap month")
            << QStringList{"--solar", "2025-闰6-1"} << "0|2025-07-25\n";
        QTest::newRow("solar with zeros") << QStringList{"--solar=2027-08-08"} << "0|2027-09-08\n";
        QTest::newRow("lunar before 1901") << QStringList{"--lunar", "1900-12-31"} << "1900-12-31";
        QTest::newRow("lunar after 2100") << QStringList{"--lunar", "2101-01-01"} << "2101-01-01";
        QTest::newRow("lunar not a date") << QStringList{"--lunar", "2027-02-30"} << "2027-02-30";
        QTest::newRow("lunar without a date") << QStringList{"--lunar"} << "--lunar";
        QTest::newRow("solar day 30 of a short month")
            << QStringList{"--solar", "2025-8-30"} << "2025-8-30";
        QTest::newRow("solar leap month the year lacks")
            << QStringList{"--solar", "2025-闰7-1"} << "2025-闰7-1";
        QTest::newRow("solar after 2100") << QStringList{"--solar", "2101-1-1"} << "2101-1-1";
        QTest::newRow("solar words") << QStringList{"--solar", "八月初八"} << "八月初八";
        QTest::newRow("solar with --due")
            << QStringList{"--solar", "2027-8-8", "--due"} << "--solar";
        QTest::newRow("--due with lunar")
            << QStringList{"--due", "--lunar", "2027-09-08"} << "--lunar";
    }
    void lunarConversions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, result);
        TestApp app;
        const QString actual = run(arguments, app);
        if (result.startsWith("0|"))
            QCOMPARE(actual, result + "|");
        else // refused: exit status 2, a Chinese message naming what was wrong
            QVERIFY2(actual.startsWith("2||rmd：") && actual.contains(result), qPrintable(actual));
    }

    // Export and import on the command line: exit status, what is said on each stream.
    void calendarFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected"); // status|what stdout|stderr contain
        QTest::newRow("export") << QStringList{"--export-ics", "@/a.ics"} << "0|2 条事务|";
        QTest::newRow("export with rules")
            << QStringList{"--rscale", "--export-ics=@/a.ics"} << "0|2 条事务|";
        QTest::newRow("rules alone") << QStringList{"--rscale"} << "2||--rscale";
        QTest::newRow("rules with import")
            << QStringList{"--import-ics", "@/x.ics", "--rscale"} << "2||--rscale";
        QTest::newRow("export into no folder")
            << QStringList{"--export-ics", "@/none/a.ics"} << "1||/none 不存在";
        QTest::newRow("import of no file")
            << QStringList{"--import-ics", "@/none.ics"} << "1||文件不存在";
        QTest::newRow("import of the book itself")
            << QStringList{"--import-ics", "@/rmd.mdb"} << "1||不是 iCalendar";
        QTest::newRow("import of its own export")
            << QStringList{"--import-ics", "@/own.ics"} << "0|新增 0 条|数据库中已有";
        QTest::newRow("import of 25 rules it cannot hold")
            << QStringList{"--import-ics", "@/odd.ics"} << "0|跳过 25 个|另有 5 个";
    }
    void calendarFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        TestApp app;
        app.exec("insert into mp (要事, 每月每日时间, 每周时间) values ('年', '12-6', '100'), "
                 "('周', '', '3')");
        QVERIFY(run({"--export-ics", app.path() + "/own.ics"}, app).startsWith("0|"));
        QVERIFY(run({"--import-ics", app.path() + "/own.ics"}, app).startsWith("0|"));
        QFile odd(app.path() + "/odd.ics");
        QVERIFY(odd.open(QIODevice::WriteOnly));
        odd.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n");
        for (int i = 0; i < 25; ++i)
            odd.write("BEGIN:VEVENT\r\nUID:" + QByteArray::number(i) +
                      "\r\nDTSTART:20270101\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\n");
        odd.write("END:VCALENDAR\r\n");
        odd.close();
        arguments.replaceInStrings("@", app.path());
        const QStringList parts = run(arguments, app).split('|');
        const QStringList want = expected.split('|');
        QCOMPARE(parts[0], want[0]);
        QVERIFY2(parts[1].contains(want[1]) && parts[2].contains(want[2]),
                 qPrintable(parts.join('|')));
        QVERIFY(parts[2].count("：跳过，") <= 20);
        if (arguments[0] == "--import-ics" && parts[0] == "0")
            QVERIFY(QFile::exists(app.path() + "/日历导入报告.txt"));
    }

    // It writes nothing, so a book and folder nobody may write to are no obstacle.
    void readsAWriteProtectedBook()
    {
        TestApp app;
        app.exec("insert into mp (要事, 每月每日时间, 每周时间) values ('年', '12-6', '100')");
        app.exec("insert into mp (要事, 每周时间) values ('', '0')"); // the window would delete it
        const auto files = [&] { // the folder's files and the book's bytes
            QFile book(app.databasePath());
            return QDir(app.path()).entryList(QDir::Files).join(',') +
                   (book.open(QIODevice::ReadOnly) ? book.readAll().toHex() : "unreadable");
        };
        const QString before = files();
        const QString due = "0|年\n\r\n\r\n\r\n\r|";
        app.clock.current = QDateTime(QDate(2026, 12, 6), QTime(23, 59)); // today, without --date
        QCOMPARE(run({"--due"}, app), due);
        QCOMPARE(files(), before);
        {
            const WriteProtected protect(app.databasePath());
            if (!protect.active())
                QSKIP("this file system cannot write-protect a file against root");
            QCOMPARE(run({"--due", "--date", "2026-12-06"}, app), due);
        }
        QCOMPARE(files(), before);
    }

    void afterInterruptedWriter_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("book that may be written") << true;
        QTest::newRow("write-protected book") << false;
    }

    // The half-done change is rolled back by an ordinary open when the book may
    // be written, and the list is the book's; otherwise the user is told how.
    void afterInterruptedWriter()
    {
        QFETCH(bool, writable);
        TestApp app;
        app.exec("insert into mp (要事, 每月每日时间, 每周时间) values ('年', '12-6', '100')");
        QVERIFY(interruptWriter(app.databasePath()));
        std::optional<WriteProtected> protect;
        if (!writable && !protect.emplace(app.databasePath()).active())
            QSKIP("this file system cannot write-protect a file against root");
        const QString result = run({"--due", "--date", "2026-12-06"}, app);
        if (writable) {
            QCOMPARE(result, "0|年\n\r\n\r|");
            QVERIFY(!QFileInfo::exists(app.databasePath() + "-journal"));
        } else {
            QVERIFY2(result.startsWith("2||") && result.contains("rmd.mdb-journal") &&
                         result.contains("取消它的写保护"),
                     qPrintable(result));
        }
    }

    void outputRefused_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("full disk") << "/dev/full";
        QTest::newRow("closed standard output") << "";
    }

    // The list that cannot be written is no success.
    void outputRefused()
    {
        QFETCH(QString, device);
        TestApp app;
        app.exec("insert into mp (要事, 每周时间) values ('周日', '0')");
        QFile out(device);
        if (!device.isEmpty()) QVERIFY(out.open(QIODevice::WriteOnly));
        QBuffer err;
        err.open(QIODevice::WriteOnly);
        const int code = app::runCommand(app::parseCommandLine({"--due", "--date", "2026-12-06"}),
                                         app.path(), app.clock, out, err);
        QCOMPARE(code, 1);
        QVERIFY2(err.data().contains("无法把到期事务写到标准输出"), err.data());
    }
};

QTEST_GUILESS_MAIN(TestDueCommandLine)
#include "test_due_cli.moc"
