#include "TestApp.h"
#include "WriteProtect.h"
#include "app/CommandLine.h"

#include <QtTest>

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
            {{"--due", "--window", "IQDW"}, "error"}};
        const char* const kinds[] = {"start", "help", "due", "error"};
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
};

QTEST_GUILESS_MAIN(TestDueCommandLine)
#include "test_due_cli.moc"
