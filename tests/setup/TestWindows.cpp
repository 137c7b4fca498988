// The wizard, the installation and tutorial windows, and the login dialog's
// library button, driven as a user would with the checks faked.
#include "TestSetup.h"

#include "TestApp.h"
#include "setup/SetupWizard.h"
#include "shell/LoginDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// A set-up start on a fresh application folder; checks answer from a script.
struct SetupApp {
    TestApp app;
    QList<int> checksRun;
    std::function<void(int)> duringCheck;
    setup::SetupContext context;

    SetupApp()
    {
        context.appPath = app.path();
        context.services = app.context().services();
        context.check = [this](int n) {
            checksRun << n;
            if (duringCheck) duringCheck(n);
            setup::CheckReport report{QStringLiteral("报告%1").arg(n), {}};
            report.findings << setup::Finding{n != 2, QStringLiteral("发现%1").arg(n), "pkg"};
            return report;
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

void TestSetup::wizard()
{
    SetupApp s;
    setup::SetupWizard wizard(s.context);
    wizard.show();
    click(&wizard, "Command1");
    QPointer<QWidget> install = wizard.installWindow();
    click(&wizard, "Command1");
    QVERIFY(install && install->isVisible() && wizard.installWindow() == install); // one at a time
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
void TestSetup::installWindow()
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
void TestSetup::installWindowClosedDuringCheck()
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
void TestSetup::tutorialWindow()
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
    QCOMPARE(said.size(), 2);
    QVERIFY2(said[0].startsWith("找不到第 6 个录像文件：\n" + folder.filePath("lx6.webm") + "\n"),
             qPrintable(said[0]));
    QCOMPARE(said[1], "无法播放");
    QVERIFY(window->isVisible() && s.app.exitCodes.isEmpty());
    click(window, "Command7");
    QCOMPARE(s.app.exitCodes, QList<int>{0});
}

// The button reports what check 5 found and leaves the dialog as it was.
void TestSetup::loginRegistersLibraries()
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

QTEST_MAIN(TestSetup)
