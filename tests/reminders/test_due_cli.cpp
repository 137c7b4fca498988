#include "TestApp.h"
#include "WriteProtect.h"
#include "app/CommandLine.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtTest>

using app::Command;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QStringList& arguments, TestApp& app)
{
    QBuffer out, err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int code =
        app::runCommand(app::parseCommandLine(arguments), app.path(), app.clock, out, err);
    return {code, out.data(), err.data()};
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

} // namespace

class TestDueCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parsing_data();
    void parsing();
    void windowOption_data();
    void windowOption();
    void failuresPrintNothingOnStandardOutput();
    void readsAWriteProtectedBook();
};

void TestDueCommandLine::parsing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("date");
    const int start = int(Command::Kind::Start), help = int(Command::Kind::Help),
              due = int(Command::Kind::Due), error = int(Command::Kind::Error);
    const QDate none, day(2026, 12, 6);
    const auto row = [](const char* name, const QStringList& args, int kind, const QDate& date) {
        QTest::newRow(name) << args << kind << date;
    };
    row("nothing", {}, start, none);
    row("help wins", {"--due", "--bogus", "--help"}, help, none);
    row("due today", {"--due"}, due, none);
    row("date first, equals form", {"--date=2026-12-06", "--due"}, due, day);
    row("short month and day", {"--due", "--date", "2026-12-6"}, due, day);
    row("due with window option", {"--due", "-platform", "offscreen"}, due, none);
    row("no such day", {"--due", "--date", "2026-02-30"}, error, none);
    row("two dates", {"--due", "--date", "2026-12-06", "--date", "2026-12-07"}, error, none);
    row("date without due", {"--date", "2026-12-06"}, error, none);
    row("stray argument", {"--due", "today"}, error, none);
}

void TestDueCommandLine::parsing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, kind);
    QFETCH(QDate, date);
    const Command command = app::parseCommandLine(arguments);
    QCOMPARE(int(command.kind), kind);
    QCOMPARE(command.date.value_or(QDate()), date);
    QCOMPARE(command.error.isEmpty(), kind != int(Command::Kind::Error));
}

void TestDueCommandLine::windowOption_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("window"); // empty: refused
    QTest::newRow("by name") << QStringList{"--window", "IQDW"} << "IQDW";
    QTest::newRow("any case, equals form") << QStringList{"--window=iqdw"} << "IQDW";
    QTest::newRow("a category book") << QStringList{"--window", "QQZXCX"} << "qqzxcx";
    QTest::newRow("unknown window") << QStringList{"--window", "rmd2"} << "";
    QTest::newRow("twice") << QStringList{"--window", "IQDW", "--window", "IQDW"} << "";
    QTest::newRow("with the due list") << QStringList{"--due", "--window", "IQDW"} << "";
}

void TestDueCommandLine::windowOption()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, window);
    const Command command = app::parseCommandLine(arguments);
    QCOMPARE(int(command.kind),
             int(window.isEmpty() ? Command::Kind::Error : Command::Kind::Start));
    QCOMPARE(command.window, window);
}

void TestDueCommandLine::failuresPrintNothingOnStandardOutput()
{
    TestApp app;
    const Run bad = run({"--due", "--date", "2026-13-01"}, app);
    QCOMPARE(bad.code, 2);
    QCOMPARE(bad.out, QByteArray());
    QVERIFY(QString::fromUtf8(bad.err).contains("2026-13-01"));
    // A missing database file, then one that is no database.
    for (const QByteArray& content : {QByteArray(), QByteArray("这不是数据库").repeated(200)}) {
        QFile::remove(app.databasePath());
        QFile file(app.databasePath());
        if (!content.isEmpty()) QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0);
        file.close();
        const Run result = run({"--due"}, app);
        QCOMPARE(result.code, 2);
        QCOMPARE(result.out, QByteArray());
        QVERIFY2(QString::fromUtf8(result.err).contains("无法读取数据库"), result.err.constData());
        QVERIFY(result.err.contains("rmd.mdb"));
    }
}

// It writes nothing, so a book and folder nobody may write to are no obstacle.
void TestDueCommandLine::readsAWriteProtectedBook()
{
    TestApp app;
    app.exec("insert into mp (要事, 每月每日时间, 每周时间) values ('年', '12-6', '100')");
    app.exec("insert into mp (要事, 每周时间) values ('', '0')"); // the window would delete it
    const auto files = [&] {
        return QDir(app.path()).entryList(QDir::Files).join(',') + fileHash(app.databasePath());
    };
    const QString before = files();
    const QByteArray due("年\n\r\n\r\n\r\n\r");
    app.clock.current = QDateTime(QDate(2026, 12, 6), QTime(23, 59)); // today, without --date
    const Run plain = run({"--due"}, app);
    QCOMPARE(plain.out + plain.err + QByteArray::number(plain.code), due + "0");
    QCOMPARE(files(), before);
    {
        const WriteProtected protect(app.databasePath());
        if (!protect.active()) QSKIP("this file system cannot write-protect a file against root");
        const Run result = run({"--due", "--date", "2026-12-06"}, app);
        QCOMPARE(result.out + result.err + QByteArray::number(result.code), due + "0");
    }
    QCOMPARE(files(), before);
}

QTEST_GUILESS_MAIN(TestDueCommandLine)
#include "test_due_cli.moc"
