// The five component checks over a faked system, and the real probe on a database file.
#include "TestSetup.h"

#include "FakeProbe.h"
#include "PlainDb.h"
#include "TestApp.h"
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

namespace {

void row(
    const char* name, int n, const char* packages, bool ok, const char* says,
    Change change = [](FakeProbe&) {})
{
    QTest::newRow(name) << n << change << QString(packages) << ok << QString::fromUtf8(says);
}

} // namespace

void TestSetup::checks_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("packages"); // space-separated; empty and ok: all is well
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("says");
    row("1 no file", 1, "", false, "程序文件夹中没有数据库文件",
        [](FakeProbe& p) { p.database.exists = false; });
    row("1 damaged", 1, "", false, "已损坏（完整性检查：Page 3: never used）",
        [](FakeProbe& p) { p.database.integrity = "Page 3: never used\nPage 4"; });
    row("1 column missing", 1, "", false, "表 mp 缺少字段 要事",
        [](FakeProbe& p) { p.database.columns["mp"].removeAll("要事"); });
    row("1 present, a column in other case", 1, "", true, "3 个表及其字段齐全：ma、mp、wblb",
        [](FakeProbe& p) {
            p.database.columns["ma"] = QStringList{"MM", "zdtxsw"};
        });
    row("2 present", 2, "", true, "输出模块：espeak-ng");
    row("2 not installed", 2, "speech-dispatcher", false, "sudo apt-get install speech-dispatcher",
        [](FakeProbe& p) { p.packages.remove("speech-dispatcher"); });
    row("2 no answer", 2, "", false, "无法启动或没有应答（15 秒内没有应答）", [](FakeProbe& p) {
        p.spd = {true, -1, "15 秒内没有应答"};
    });
    row("2 no modules", 2, "speech-dispatcher-espeak-ng", false, "没有任何语音输出模块",
        [](FakeProbe& p) { p.spd.output = "OUTPUT MODULES\n"; });
    row("3 present", 3, "", true, "共有 3 个语音，其中英语语音 2 个");
    row("3 not installed", 3, "espeak-ng speech-dispatcher-espeak-ng", false,
        "sudo apt-get install espeak-ng", [](FakeProbe& p) {
            p.packages.remove("espeak-ng"), p.packages.remove("speech-dispatcher-espeak-ng");
        });
    row("3 module not loaded", 3, "speech-dispatcher-espeak-ng", false, "没有 espeak-ng 输出模块",
        [](FakeProbe& p) { p.spd.output = "OUTPUT MODULES\ndummy\n"; });
    row("3 Qt plugin missing", 3, "qt6-speech-speechd-plugin", false, "Qt 语音插件 speechd 不存在",
        [](FakeProbe& p) { p.engines = QStringList{"flite"}; });
    row("3 no English voice", 3, "", false, "朗读英语单词需要英语语音",
        [](FakeProbe& p) { p.voices["speechd"].englishVoices = 0; });
    row("4 present", 4, "", true, "flite：共有 1 个语音");
    row("4 unusable", 4, "", false, "flite：无法使用：无法连接", [](FakeProbe& p) {
        p.voices["flite"] = {"无法连接", {}, 0};
    });
    row("5 present", 5, "", true, "mid 文件可以播放");
    row("5 one kind fails", 5, "gstreamer1.0-plugins-bad gstreamer1.0-libav", false,
        "dat 文件无法播放（Cannot play stream）", [](FakeProbe& p) {
            p.mediaErrors["/tmp/s.dat"] = "无法播放媒体文件：/tmp/s.dat\nCannot play stream";
        });
    row("5 bare machine", 5,
        "libqt6gui6 qt6-translations-l10n fonts-wqy-microhei qt6-speech-speechd-plugin "
        "qt6-speech-flite-plugin gstreamer1.0-plugins-good gstreamer1.0-plugins-bad "
        "timgm6mb-soundfont gstreamer1.0-libav",
        false, "汉字会显示成方框", [](FakeProbe& p) {
            p.xcb = p.translations = false;
            p.fonts.clear();
            p.engines.clear();
            for (const auto& s : p.samples)
                p.mediaErrors[s.path] = "x";
        });
    row("5 no samples", 5, "", false, "无法写出试听用的媒体样本文件",
        [](FakeProbe& p) { p.samples.clear(); });
}

void TestSetup::checks()
{
    QFETCH(int, n);
    QFETCH(Change, change);
    QFETCH(QString, packages);
    QFETCH(bool, ok);
    QFETCH(QString, says);
    FakeProbe probe;
    change(probe);

    const setup::CheckReport report = setup::runCheck(n, probe, "/opt/lumo");
    const QString text = report.text();
    QCOMPARE(report.ok(), ok);
    QCOMPARE(report.missingPackages().join(' '), packages);
    QVERIFY2(text.contains(says), qPrintable(text));
    QCOMPARE(text.contains("[缺少]") || !text.contains("结论：一切正常"), !ok);
    if (!packages.isEmpty())
        QVERIFY2((text + "\n").contains("sudo apt-get install " + packages + "\n"),
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
    const QString none;
    QTest::newRow("seed") << none << none;
    QTest::newRow("table dropped") << "drop table qqzx" << none;
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
    const setup::CheckReport report = setup::checkDatabaseEngine(probe, app.path());
    QCOMPARE(report.ok(), damage.isEmpty());
    QCOMPARE(report.text().contains("缺少表 qqzx"), !damage.isEmpty());
}
