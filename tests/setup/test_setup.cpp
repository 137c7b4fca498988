// The five component checks over a faked system, the real probe on a database
// file, and the set-up windows driven as a user would with the checks faked.
#include "PlainDb.h"
#include "TestApp.h"
#include "setup/ComponentChecks.h"
#include "setup/QtSystemProbe.h"
#include "setup/SetupWizard.h"
#include "setup/SystemProbe.h"
#include "shell/LoginDialog.h"

#include <QtTest>
#include <QtWidgets>

// A Debian installation on which everything is present and works, until a
// test takes something away.
class FakeProbe : public setup::SystemProbe {
public:
    QSet<QString> packages{"speech-dispatcher", "espeak-ng", "speech-dispatcher-espeak-ng",
                           "qt6-speech-flite-plugin"};
    QString version = "3.40.1";
    QMap<QString, QStringList> expected{
        {"ma", {"mm", "zdtxsw"}}, {"mp", {"要事", "要事关键字"}}, {"wblb", {"外部", "说明"}}};
    setup::DatabaseInfo database{true, {}, "ok", expected};
    setup::ProgramRun spd{true, 0, "OUTPUT MODULES\nespeak-ng\n"};
    QStringList engines{"speechd", "flite"};
    QMap<QString, setup::EngineVoices> voices{
        {"speechd", {{}, {"English (America)", "English (Great Britain)", "Chinese"}, 2}},
        {"flite", {{}, {"kal16"}, 1}}};
    bool xcb = true, translations = true;
    QStringList fonts{"WenQuanYi Micro Hei"};
    QList<setup::SampleFile> samples{
        {"wav", "/tmp/s.wav"}, {"mid", "/tmp/s.mid"}, {"dat", "/tmp/s.dat"}, {"avi", "/tmp/s.avi"}};
    QMap<QString, QString> mediaErrors; // by path

    QStringList databasesOpened;
    QList<QStringList> runs;

    bool packageInstalled(const QString& package) override { return packages.contains(package); }
    QString sqliteVersion() override { return version; }
    setup::DatabaseInfo inspectDatabase(const QString& path) override
    {
        databasesOpened << path;
        return database;
    }
    QMap<QString, QStringList> expectedTables() override { return expected; }
    setup::ProgramRun run(const QString& program, const QStringList& args) override
    {
        runs << (QStringList{program} + args);
        return spd;
    }
    QStringList speechEngines() override { return engines; }
    setup::EngineVoices engineVoices(const QString& e) override { return voices.value(e); }
    bool platformPlugin(const QString& name) override { return xcb && name == "xcb"; }
    bool chineseTranslations() override { return translations; }
    QStringList chineseFonts() override { return fonts; }
    QList<setup::SampleFile> mediaSamples() override { return samples; }
    QString loadMedia(const QString& path) override { return mediaErrors.value(path); }
};

using Change = std::function<void(FakeProbe&)>;
Q_DECLARE_METATYPE(Change)

namespace {

void row(
    const char* name, int n, const char* packages, bool ok, const char* says,
    Change change = [](FakeProbe&) {})
{
    QTest::newRow(name) << n << change << QString(packages) << ok << QString::fromUtf8(says);
}

// A set-up start on a fresh application folder; checks answer from a script.
struct SetupApp {
    TestApp app;
    QList<int> checksRun;
    std::function<void(int)> duringCheck;
    setup::SetupContext context;

    SetupApp()
    {
        context.appPath = context.dataPath = context.resourcePath = app.path();
        context.services = app.context().services();
        context.check = [this](int n) {
            checksRun << n;
            if (duringCheck) duringCheck(n);
            return setup::CheckReport{QStringLiteral("报告%1").arg(n),
                                      {{n != 2, QStringLiteral("发现%1").arg(n), "pkg"}}};
        };
        context.endProcess = [this](int code) { app.exitCodes << code; };
    }
};

template <typename T> T* child(QWidget* parent, const char* name)
{
    auto* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no child %s", name);
    return widget;
}

void click(QWidget* parent, const char* button)
{
    QTest::mouseClick(child<QPushButton>(parent, button), Qt::LeftButton);
}

void tick(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

} // namespace

class TestSetup : public QObject {
    Q_OBJECT
private slots:
    void checks_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("packages"); // space-separated; empty and ok: all is well
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("says");
        row("1 no file", 1, "", false, "没有数据库文件",
            [](FakeProbe& p) { p.database.exists = false; });
        row("1 damaged", 1, "", false, "已损坏（完整性检查：Page 3: never used）",
            [](FakeProbe& p) { p.database.integrity = "Page 3: never used\nPage 4"; });
        row("1 column missing", 1, "", false, "表 mp 缺少字段 要事",
            [](FakeProbe& p) { p.database.columns["mp"].removeAll("要事"); });
        row("1 present, a column in other case", 1, "", true, "3 个表及其字段齐全：ma、mp、wblb",
            [](FakeProbe& p) { p.database.columns["ma"][0] = "MM"; });
        row("2 present", 2, "", true, "输出模块：espeak-ng");
        row("2 not installed", 2, "speech-dispatcher", false, "软件包 speech-dispatcher 没有安装",
            [](FakeProbe& p) { p.packages.remove("speech-dispatcher"); });
        row("2 no answer", 2, "", false, "无法启动或没有应答（15 秒内没有应答）",
            [](FakeProbe& p) { p.spd.exitCode = -1, p.spd.output = "15 秒内没有应答"; });
        row("2 no modules", 2, "speech-dispatcher-espeak-ng", false, "没有任何语音输出模块",
            [](FakeProbe& p) { p.spd.output = "OUTPUT MODULES\n"; });
        row("3 present", 3, "", true, "共有 3 个语音，其中英语语音 2 个");
        row("3 not installed", 3, "espeak-ng speech-dispatcher-espeak-ng", false,
            "软件包 espeak-ng 没有安装", [](FakeProbe& p) {
                p.packages.remove("espeak-ng"), p.packages.remove("speech-dispatcher-espeak-ng");
            });
        row("3 not loaded", 3, "speech-dispatcher-espeak-ng", false, "没有 espeak-ng 输出模块",
            [](FakeProbe& p) { p.spd.output = "OUTPUT MODULES\ndummy\n"; });
        row("3 Qt plugin missing", 3, "qt6-speech-speechd-plugin", false,
            "Qt 语音插件 speechd 不存在", [](FakeProbe& p) { p.engines = QStringList{"flite"}; });
        row("3 no English voice", 3, "", false, "朗读英语单词需要英语语音",
            [](FakeProbe& p) { p.voices["speechd"].englishVoices = 0; });
        row("4 present", 4, "", true, "flite：共有 1 个语音");
        row("4 unusable", 4, "", false, "flite：无法使用：无法连接",
            [](FakeProbe& p) { p.voices["flite"].error = "无法连接"; });
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

    void checks()
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

    void probeInspectsDatabase_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("error");
        QTest::newRow("seed") << QString() << QString();
        QTest::newRow("table dropped") << "drop table qqzx" << QString();
        QTest::newRow("garbage") << QString("garbage") << "file is not a database";
    }

    // The real probe reads the file without changing a byte, and judges it
    // against the tables the build creates.
    void probeInspectsDatabase()
    {
        QFETCH(QString, damage);
        QFETCH(QString, error);
        TestApp app;
        const QString path = app.databasePath();
        if (damage == "garbage") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(8192, 'x')) > 0);
        } else if (!damage.isEmpty())
            plainExec(path, damage);
        const auto bytes = [&] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray before = bytes();
        setup::QtSystemProbe probe(nullptr);

        const setup::DatabaseInfo info = probe.inspectDatabase(path);
        QVERIFY(info.exists);
        QVERIFY2(info.error.contains(error), qPrintable(info.error));
        QVERIFY(!info.error.contains(path)); // the report names the file once, itself
        QCOMPARE(bytes(), before);
        QCOMPARE(QDir(app.path()).entryList(QDir::Files), QStringList{"rmd.mdb"});
        if (!error.isEmpty()) return;
        QCOMPARE(info.integrity, QString("ok"));
        const setup::CheckReport report = setup::checkDatabaseEngine(probe, app.path());
        QCOMPARE(report.ok(), damage.isEmpty());
        QCOMPARE(report.text().contains("缺少表 qqzx"), !damage.isEmpty());
    }

    void wizard()
    {
        SetupApp s;
        setup::SetupWizard wizard(s.context);
        wizard.show();
        click(&wizard, "Command1");
        QPointer<QWidget> install = wizard.installWindow();
        click(&wizard, "Command1");
        // one at a time
        QVERIFY(install && install->isVisible() && wizard.installWindow() == install);
        click(&wizard, "Command3");
        QVERIFY(wizard.tutorialWindow() && wizard.tutorialWindow()->isVisible());
        // Once the installation window is gone, the next one is new.
        install->close();
        QTRY_VERIFY(!install); // deleted later
        click(&wizard, "Command1");
        QVERIFY(wizard.installWindow() && wizard.installWindow()->isVisible());
        click(&wizard, "Command2");
        QCOMPARE(s.app.exitCodes, QList<int>{0});
        QCOMPARE(s.app.desktop.opened.size(), 1); // 退出 runs no unload handling
    }

    // Each box runs its check once, in the order ticked; every report stays
    // readable, the latest last; 完成设置 starts the organiser.
    void installWindow()
    {
        SetupApp s;
        setup::SetupWizard wizard(s.context);
        click(&wizard, "Command1");
        QPointer<QWidget> window = wizard.installWindow();
        const auto box = [&](int n) {
            return child<QCheckBox>(window, qPrintable(QString("Check%1").arg(n)));
        };
        for (int n : {5, 1, 3}) {
            tick(box(n));
            tick(box(n)); // a disabled box cannot be ticked again
        }
        QCOMPARE(s.checksRun, (QList<int>{5, 1, 3}));
        QString states; // x ticked, - disabled
        for (int n = 1; n <= 5; ++n)
            states += QString(box(n)->isChecked() ? "x" : "o") + (box(n)->isEnabled() ? "+" : "-");
        QCOMPARE(states, "x-o+x-o+x-");
        const QString report = child<QPlainTextEdit>(window, "reportText")->toPlainText();
        const auto at = [&](int n) { return report.indexOf(QString("报告%1\n").arg(n)); };
        QVERIFY2(at(5) >= 0 && at(5) < at(1) && at(1) < at(3), qPrintable(report));
        QVERIFY(s.app.desktop.opened.isEmpty());
        click(window, "Command1");
        QTRY_VERIFY(!window);
        QCOMPARE(s.app.desktop.opened, QStringList{QDir(s.app.path()).filePath("rmd")});
        QVERIFY(s.app.dialogs.messages.isEmpty() && s.app.exitCodes.isEmpty());
    }

    // A check takes seconds: closing the window meanwhile waits for its end, and a
    // failed start of the organiser is said, not swallowed.
    void installWindowClosedDuringCheck()
    {
        SetupApp s;
        s.app.desktop.result = QStringLiteral("找不到文件：/x/rmd");
        setup::SetupWizard wizard(s.context);
        click(&wizard, "Command1");
        QPointer<QWidget> window = wizard.installWindow();
        s.duringCheck = [&](int) {
            window->close();
            QVERIFY(window && window->isVisible());
            QVERIFY(s.app.desktop.opened.isEmpty());
        };
        tick(child<QCheckBox>(window, "Check1"));
        QTRY_VERIFY(!window);
        QCOMPARE(s.app.desktop.opened.size(), 1);
        QCOMPARE(s.app.dialogs.texts(), QStringList{"找不到文件：/x/rmd"});
    }

    // Each button plays its recording full screen; a missing recording, or one
    // the player cannot show, is said, and nothing ends.
    void tutorialWindow()
    {
        SetupApp s;
        const QDir folder(s.app.path() + "/shlx");
        QVERIFY(folder.mkpath("."));
        QStringList played;
        for (int n = 1; n <= 5; ++n) {
            played << folder.filePath(QString("lx%1.webm").arg(n));
            QVERIFY(QFile(played.last()).open(QIODevice::WriteOnly));
        }
        setup::SetupWizard wizard(s.context);
        click(&wizard, "Command3");
        QWidget* window = wizard.tutorialWindow();
        for (int n = 1; n <= 6; ++n)
            click(window, qPrintable(QString("Command%1").arg(n)));
        emit s.app.media.errorOccurred(QStringLiteral("无法播放"));
        QCOMPARE(s.app.media.playedFullScreen, played);
        const QStringList said = s.app.dialogs.texts();
        QCOMPARE(said.mid(1), QStringList{"无法播放"});
        QVERIFY2(
            said[0].startsWith("找不到第 6 个录像文件：\n" + folder.filePath("lx6.webm") + "\n"),
            qPrintable(said[0]));
        QVERIFY(window->isVisible() && s.app.exitCodes.isEmpty());
        click(window, "Command7");
        QCOMPARE(s.app.exitCodes, QList<int>{0});
    }

    // The button reports what check 5 found and leaves the dialog as it was.
    void loginRegistersLibraries()
    {
        SetupApp s;
        shell::LoginDialog login(s.app.context(), nullptr);
        login.setRegisterLibraries(
            [&] { setup::registerLibraries(*s.context.services.dialogs, s.context.check); });
        login.start();
        QTest::keyClicks(child<QLineEdit>(&login, "Text1"), "61");
        click(&login, "Command1");
        click(&login, "Command1");
        QCOMPARE(s.checksRun, (QList<int>{5, 5}));
        QCOMPARE(s.app.dialogs.messages.size(), 2);
        QVERIFY(s.app.dialogs.messages[0].text.startsWith("报告5\n  [正常] 发现5"));
        QVERIFY(login.isVisible() && !login.mainWindow() && s.app.exitCodes.isEmpty());
        QCOMPARE(child<QLineEdit>(&login, "Text1")->text(), QString("61"));
    }
};

QTEST_MAIN(TestSetup)
#include "test_setup.moc"
