// The five component checks over a faked system, and once over this machine.
#include "TestSetup.h"

#include "FakeProbe.h"
#include "PlainDb.h"
#include "TestApp.h"
#include "platform/MediaPlayer.h"
#include "setup/ComponentChecks.h"
#include "setup/QtSystemProbe.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtTest>
#include <functional>

namespace {

using Change = std::function<void(FakeProbe&)>;

QByteArray digest(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(Change)

void TestSetup::checks_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("packages"); // empty and ok: all is well
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("says");

    const Change none = [](FakeProbe&) {};
    auto removeColumn = [](FakeProbe& p) { p.database.columns["mp"].removeAll("要事"); };
    QTest::newRow("1 present") << 1 << none << QStringList() << true << "SQLite 数据库引擎 3.40.1";
    QTest::newRow("1 no file") << 1 << Change([](FakeProbe& p) { p.database.exists = false; })
                               << QStringList() << false << "程序文件夹中没有数据库文件";
    QTest::newRow("1 not a database")
        << 1 << Change([](FakeProbe& p) { p.database.error = "file is not a database"; })
        << QStringList() << false << "无法读取：file is not a database";
    QTest::newRow("1 damaged") << 1 << Change([](FakeProbe& p) {
        p.database.integrity = "Page 3: never used\nPage 4";
    }) << QStringList() << false
                               << "已损坏（完整性检查：Page 3: never used）";
    QTest::newRow("1 table missing")
        << 1 << Change([](FakeProbe& p) { p.database.columns.remove("wblb"); }) << QStringList()
        << false << "缺少表 wblb";
    QTest::newRow("1 column missing")
        << 1 << Change(removeColumn) << QStringList() << false << "表 mp 缺少字段 要事";
    QTest::newRow("1 column in other case") << 1 << Change([](FakeProbe& p) {
        p.database.columns["ma"] = QStringList{"MM", "zdtxsw"};
    }) << QStringList() << true << "3 个表及其字段齐全：ma、mp、wblb";

    QTest::newRow("2 present") << 2 << none << QStringList() << true << "输出模块：espeak-ng";
    QTest::newRow("2 not installed")
        << 2 << Change([](FakeProbe& p) { p.packages.remove("speech-dispatcher"); })
        << QStringList{"speech-dispatcher"} << false << "sudo apt-get install speech-dispatcher";
    QTest::newRow("2 no answer") << 2 << Change([](FakeProbe& p) {
        p.spd = {true, -1, "15 秒内没有应答"};
    }) << QStringList() << false << "无法启动或没有应答（15 秒内没有应答）";
    QTest::newRow("2 no modules") << 2
                                  << Change([](FakeProbe& p) { p.spd.output = "OUTPUT MODULES\n"; })
                                  << QStringList{"speech-dispatcher-espeak-ng"} << false
                                  << "没有任何语音输出模块";

    QTest::newRow("3 present") << 3 << none << QStringList() << true
                               << "共有 3 个语音，其中英语语音 2 个";
    QTest::newRow("3 not installed")
        << 3 << Change([](FakeProbe& p) {
               p.packages.remove("espeak-ng");
               p.packages.remove("speech-dispatcher-espeak-ng");
           })
        << QStringList{"espeak-ng", "speech-dispatcher-espeak-ng"} << false
        << "sudo apt-get install espeak-ng speech-dispatcher-espeak-ng";
    QTest::newRow("3 module not loaded")
        << 3 << Change([](FakeProbe& p) { p.spd.output = "OUTPUT MODULES\ndummy\n"; })
        << QStringList{"speech-dispatcher-espeak-ng"} << false << "没有 espeak-ng 输出模块";
    QTest::newRow("3 Qt plugin missing")
        << 3 << Change([](FakeProbe& p) { p.engines = QStringList{"flite"}; })
        << QStringList{"qt6-speech-speechd-plugin"} << false << "Qt 语音插件 speechd 不存在";
    QTest::newRow("3 no English voice")
        << 3 << Change([](FakeProbe& p) { p.voices["speechd"].englishVoices = 0; }) << QStringList()
        << false << "朗读英语单词需要英语语音";

    QTest::newRow("4 present") << 4 << none << QStringList() << true << "flite：共有 1 个语音";
    QTest::newRow("4 not installed")
        << 4 << Change([](FakeProbe& p) { p.packages.remove("qt6-speech-flite-plugin"); })
        << QStringList{"qt6-speech-flite-plugin"} << false
        << "软件包 qt6-speech-flite-plugin 没有安装";
    QTest::newRow("4 unusable") << 4 << Change([](FakeProbe& p) {
        p.voices["flite"] = {"无法连接", {}, 0};
    }) << QStringList() << false << "flite：无法使用：无法连接";

    QTest::newRow("5 present") << 5 << none << QStringList() << true << "mid 文件可以播放";
    QTest::newRow("5 one kind fails") << 5 << Change([](FakeProbe& p) {
        p.mediaErrors["/tmp/s.dat"] = "无法播放媒体文件：/tmp/s.dat\nCannot play stream";
    }) << QStringList{"gstreamer1.0-plugins-bad", "gstreamer1.0-libav"}
                                      << false << "dat 文件无法播放（Cannot play stream）";
    QTest::newRow("5 bare machine") << 5 << Change([](FakeProbe& p) {
        p.xcb = p.translations = false;
        p.fonts.clear();
        p.engines.clear();
        for (const auto& s : p.samples)
            p.mediaErrors[s.path] = "x";
    })
                                    << QStringList{"libqt6gui6",
                                                   "qt6-translations-l10n",
                                                   "fonts-wqy-microhei",
                                                   "qt6-speech-speechd-plugin",
                                                   "qt6-speech-flite-plugin",
                                                   "gstreamer1.0-plugins-good",
                                                   "gstreamer1.0-plugins-bad",
                                                   "timgm6mb-soundfont",
                                                   "gstreamer1.0-libav"}
                                    << false << "汉字会显示成方框";
    QTest::newRow("5 no samples") << 5 << Change([](FakeProbe& p) { p.samples.clear(); })
                                  << QStringList() << false << "无法写出试听用的媒体样本文件";
}

void TestSetup::checks()
{
    QFETCH(int, n);
    QFETCH(Change, change);
    QFETCH(QStringList, packages);
    QFETCH(bool, ok);
    QFETCH(QString, says);
    FakeProbe probe;
    change(probe);

    const setup::CheckReport report = setup::runCheck(n, probe, "/opt/lumo");
    const QString text = report.text();
    QVERIFY2(text.startsWith(QStringList{"1.数据库引擎", "2.语音引擎-1", "3.语音引擎-2",
                                         "4.语音引擎-3", "5.注册动态链接库"}[n - 1]),
             qPrintable(text));
    QCOMPARE(report.ok(), ok);
    QCOMPARE(report.missingPackages(), packages);
    QVERIFY2(text.contains(says), qPrintable(text));
    QCOMPARE(text.contains("[缺少]"), !ok);
    QCOMPARE(text.contains("结论：一切正常"), ok);
    if (!packages.isEmpty())
        QVERIFY2(text.endsWith("sudo apt-get install " + packages.join(' ')) ||
                     text.contains("sudo apt-get install " + packages.join(' ') + "\n"),
                 qPrintable(text));
    if (n == 1) QCOMPARE(probe.databasesOpened, QStringList{"/opt/lumo/rmd.mdb"});
    // Nothing is installed behind the user's back.
    for (const QStringList& run : probe.runs)
        QCOMPARE(run, (QStringList{"spd-say", "-O"}));
}

void TestSetup::probeInspectsDatabase_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("error");
    QTest::newRow("seed") << ""
                          << "";
    QTest::newRow("table dropped") << "drop table qqzx"
                                   << "";
    QTest::newRow("garbage") << "garbage"
                             << "file is not a database";
}

// The real probe reads the file without changing a byte, and judges it
// against the tables the build creates.
void TestSetup::probeInspectsDatabase()
{
    QFETCH(QString, damage);
    QFETCH(QString, error);
    TestApp app;
    const QString path = app.databasePath();
    if (damage == "garbage") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    } else if (!damage.isEmpty()) {
        plainExec(path, damage);
    }
    const QByteArray before = digest(path);
    setup::QtSystemProbe probe(nullptr);

    const setup::DatabaseInfo info = probe.inspectDatabase(path);
    QVERIFY(info.exists);
    QVERIFY2(info.error.contains(error), qPrintable(info.error));
    QCOMPARE(digest(path), before);
    QCOMPARE(QDir(app.path()).entryList(QDir::Files), QStringList{"rmd.mdb"});
    if (!error.isEmpty()) return;
    QCOMPARE(info.integrity, QString("ok"));
    const QMap<QString, QStringList> expected = probe.expectedTables();
    QCOMPARE(expected.keys(), (QStringList{"bjyy", "foxcjdc", "ma", "mp", "qqzx", "tp", "wblb"}));
    QCOMPARE(expected.value("mp").size(), 14);
    const setup::CheckReport report = setup::checkDatabaseEngine(probe, app.path());
    QCOMPARE(report.ok(), damage.isEmpty());
    QCOMPARE(report.text().contains("缺少表 qqzx"), !damage.isEmpty());
}

// Runs every check for real and prints what it found. It passes whatever this
// machine lacks, as long as the report says so.
void TestSetup::checksOnThisMachine()
{
    TestApp app;
    const auto player = platform::createQtMediaPlayer();
    setup::QtSystemProbe probe(player.get());
    for (int n = 1; n <= 5; ++n) {
        const setup::CheckReport report = setup::runCheck(n, probe, app.path());
        qInfo().noquote() << "\n" + report.text();
        QVERIFY(!report.findings.isEmpty());
        QCOMPARE(report.text().contains("[缺少]"), !report.ok());
        if (n == 1) QVERIFY2(report.ok(), "the seed database passes its own check");
    }
}
