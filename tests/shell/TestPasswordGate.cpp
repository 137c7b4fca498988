// The login, verify and change-password dialogs, driven through their widgets.
#include "TestApp.h"
#include "ShellTests.h"

#include "shell/ChangePasswordDialog.h"
#include "shell/LoginDialog.h"
#include "shell/MainWindow.h"
#include "shell/VerifyPasswordDialog.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using platform::Buttons;

namespace {

const QVariant kNull;

QString sqlText(const QVariant& value)
{
    return value.isNull() ? QStringLiteral("null")
                          : QLatin1Char('\'') + value.toString() + QLatin1Char('\'');
}

void setStoredPassword(TestApp& app, const QVariant& password)
{
    app.exec(QStringLiteral("update ma set mm = %1").arg(sqlText(password)));
}

// Like QTest::keyClicks, but also for characters beyond ASCII.
void type(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Root writes to any file whatever its mode; the immutable flag stops even root.
bool setImmutable(const QString& path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

template <typename T>
T* child(QWidget* window, const char* name)
{
    T* widget = window->findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

// A reminder-window stand-in that counts how often the main window asks for it.
struct ReminderFactory {
    int calls = 0;
    std::function<QWidget*()> function()
    {
        return [this]() -> QWidget* {
            ++calls;
            return new QWidget;
        };
    }
};

} // namespace

class TestPasswordGate : public QObject {
    Q_OBJECT
private slots:
    void login_data();
    void login();
    void reminderWindowOpensOnceAfterOneSecond();
    void cancelEnds_data();
    void cancelEnds();
    void unusableDatabase_data();
    void unusableDatabase();
    void verify_data();
    void verify();
    void verifyReadsThePasswordAgain();
    void changePassword_data();
    void changePassword();
};

void TestPasswordGate::login_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("prompt");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    const QVariant initial(QStringLiteral("6158"));
    QTest::newRow("no-password marker") << QVariant(QStringLiteral("wkfn")) << false << "" << true;
    QTest::newRow("right") << initial << true << "6158" << true;
    QTest::newRow("wrong") << initial << true << "6159" << false;
    QTest::newRow("trailing blank typed") << initial << true << "6158 " << false;
    QTest::newRow("other case") << QVariant(QStringLiteral("Secret")) << true << "secret" << false;
    QTest::newRow("stored blanks left out") << QVariant(QStringLiteral("ab  ")) << true << "ab" << false;
    QTest::newRow("stored blanks typed") << QVariant(QStringLiteral("ab  ")) << true << "ab  " << true;
    QTest::newRow("chinese") << QVariant(QStringLiteral("芝麻开门")) << true << "芝麻开门" << true;
    QTest::newRow("marker in capitals") << QVariant(QStringLiteral("WKFN")) << true << "WKFN" << true;
    QTest::newRow("empty stored, nothing typed") << QVariant(QStringLiteral("")) << true << "" << true;
    QTest::newRow("null stored, nothing typed") << kNull << true << "" << false;
    QTest::newRow("null stored, marker typed") << kNull << true << "wkfn" << false;
}

void TestPasswordGate::login()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, prompt);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    TestApp app;
    setStoredPassword(app, stored);
    ReminderFactory factory;
    shell::LoginDialog login(app.context(), factory.function());
    login.start();
    auto* box = child<QLineEdit>(&login, "Text1");
    QCOMPARE(login.isVisible(), prompt);
    if (prompt) {
        QCOMPARE(login.focusWidget(), box);
        QCOMPARE(box->text(), QString());
        // A wrong try first: the box is emptied and the next try is judged alone.
        type(box, QStringLiteral("x"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(app.dialogs.messages.size(), 1);
        app.dialogs.messages.clear();
        type(box, typed);
        QTest::mouseClick(child<QPushButton>(&login, "Command1"), Qt::LeftButton);
    }

    QCOMPARE(login.isVisible(), !accepted);
    QCOMPARE(login.mainWindow() != nullptr, accepted);
    if (accepted) {
        QVERIFY(app.dialogs.messages.isEmpty());
        QVERIFY(login.mainWindow()->isVisible());
    } else {
        QCOMPARE(app.dialogs.messages.size(), 1);
        const auto& m = app.dialogs.messages.first();
        QCOMPARE(m.text, QStringLiteral("无效的密码，请重试!"));
        QCOMPARE(m.title, QStringLiteral("登录"));
        QCOMPARE(m.buttons, Buttons::Ok);
        QCOMPARE(box->text(), QString());
        QCOMPARE(login.focusWidget(), box);
    }
    QVERIFY(app.exitCodes.isEmpty());
}

void TestPasswordGate::reminderWindowOpensOnceAfterOneSecond()
{
    TestApp app;
    ReminderFactory factory;
    shell::LoginDialog login(app.context(), factory.function());
    login.start();
    type(child<QLineEdit>(&login, "Text1"), QStringLiteral("6158"));
    QTest::keyClick(child<QLineEdit>(&login, "Text1"), Qt::Key_Enter);
    shell::MainWindow* main = login.mainWindow();
    QVERIFY(main);
    QCOMPARE(factory.calls, 0);
    QTRY_COMPARE_WITH_TIMEOUT(factory.calls, 1, 5000);
    QVERIFY(main->reminderWindow() && main->reminderWindow()->isVisible());
    QTest::qWait(1500);
    QCOMPARE(factory.calls, 1);
    QVERIFY(app.exitCodes.isEmpty());

    // Closing the main window ends the program even with the reminder window open.
    main->close();
    QCOMPARE(app.exitCodes, QList<int>{0});
    QVERIFY(!app.context().connected());
}

void TestPasswordGate::cancelEnds_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("取消") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("closing the dialog") << 2;
}

void TestPasswordGate::cancelEnds()
{
    QFETCH(int, how);
    TestApp app;
    ReminderFactory factory;
    shell::LoginDialog login(app.context(), factory.function());
    login.start();
    auto* box = child<QLineEdit>(&login, "Text1");
    type(box, QStringLiteral("6158")); // even the right password is not used
    if (how == 0)
        QTest::mouseClick(child<QPushButton>(&login, "Command2"), Qt::LeftButton);
    else if (how == 1)
        QTest::keyClick(box, Qt::Key_Escape);
    else
        login.close();
    QCOMPARE(app.exitCodes, QList<int>{0});
    QVERIFY(!app.context().connected());
    QVERIFY(!login.isVisible());
    QVERIFY(!login.mainWindow());
    QVERIFY(app.dialogs.messages.isEmpty());
}

void TestPasswordGate::unusableDatabase_data()
{
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing") << "missing";
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("write-protected") << "readonly";
}

void TestPasswordGate::unusableDatabase()
{
    QFETCH(QString, problem);
    TestApp app;
    const QString db = app.databasePath();
    bool immutable = false;
    const auto release = qScopeGuard([&] {
        if (immutable)
            setImmutable(db, false);
    });
    QFile file(db);
    if (problem == QLatin1String("missing")) {
        QVERIFY(file.remove());
    } else if (problem == QLatin1String("readonly")) {
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        if (geteuid() == 0 && !(immutable = setImmutable(db, true)))
            QSKIP("root may write to any file, and this file system has no immutable flag");
    } else {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (problem == QLatin1String("garbage"))
            file.write(QByteArray(8192, 'x'));
        file.close();
    }
    const qint64 size = file.size();

    ReminderFactory factory;
    shell::LoginDialog login(app.context(), factory.function());
    login.start();

    QCOMPARE(app.dialogs.messages.size(), 1);
    QVERIFY(!app.dialogs.messages.first().text.isEmpty());
    QCOMPARE(app.dialogs.messages.first().icon, platform::Icon::Critical);
    QCOMPARE(app.exitCodes, QList<int>{1});
    QVERIFY(!login.isVisible());
    QVERIFY(!login.mainWindow());
    QCOMPARE(file.exists(), problem != QLatin1String("missing"));
    QCOMPARE(file.size(), size);
}

void TestPasswordGate::verify_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right") << "6158" << true;
    QTest::newRow("wrong") << "6157" << false;
    QTest::newRow("trailing blank") << "6158 " << false;
}

void TestPasswordGate::verify()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    TestApp app;
    app.context().openDatabase();
    QPointer<shell::VerifyPasswordDialog> verify = new shell::VerifyPasswordDialog(app.context());
    QVERIFY(app.context().sharedCursor);
    verify->show();
    auto* box = child<QLineEdit>(verify, "Text1");
    type(box, typed);
    QTest::mouseClick(child<QPushButton>(verify, "Command1"), Qt::LeftButton);

    QVERIFY(verify); // stays loaded either way
    QCOMPARE(verify->isVisible(), !accepted);
    QPointer<shell::ChangePasswordDialog> change = verify->changeDialog();
    QCOMPARE(change && change->isVisible(), accepted);
    QCOMPARE(box->text(), typed);
    if (!accepted) {
        QCOMPARE(app.dialogs.texts(), QStringList{QStringLiteral("无效的密码，请重试!")});
        QCOMPARE(app.dialogs.messages.first().title, QStringLiteral("验证"));
        QCOMPARE(box->selectedText(), typed);
        QCOMPARE(verify->focusWidget(), box);
    }
    delete change.data();
    QTest::mouseClick(child<QPushButton>(verify, "Command2"), Qt::LeftButton);
    QTRY_VERIFY(verify.isNull());
    QVERIFY(app.exitCodes.isEmpty());
}

void TestPasswordGate::verifyReadsThePasswordAgain()
{
    TestApp app;
    app.context().openDatabase();
    QPointer<shell::VerifyPasswordDialog> verify = new shell::VerifyPasswordDialog(app.context());
    verify->show();
    setStoredPassword(app, QStringLiteral("new")); // changed after the dialog was loaded
    auto* box = child<QLineEdit>(verify, "Text1");
    type(box, QStringLiteral("6158"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(app.dialogs.messages.size(), 1);
    QVERIFY(!verify->changeDialog());
    box->clear();
    type(box, QStringLiteral("new"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(verify->changeDialog());
    QCOMPARE(app.dialogs.messages.size(), 1);
    delete verify->changeDialog();
    delete verify.data();
}

void TestPasswordGate::changePassword_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("stored");
    QTest::newRow("same") << "abc" << "abc" << "abc";
    QTest::newRow("different") << "abc" << "abd" << "6158";
    QTest::newRow("other case") << "abc" << "ABC" << "6158";
    QTest::newRow("trailing blank") << "abc " << "abc" << "6158";
    QTest::newRow("blanks kept") << " a b " << " a b " << " a b ";
    QTest::newRow("both empty") << "" << "" << "";
    QTest::newRow("quote") << "it's" << "it's" << "it's";
    QTest::newRow("no-password marker") << "wkfn" << "wkfn" << "wkfn";
}

void TestPasswordGate::changePassword()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, stored);
    const bool match = first == second;
    TestApp app;
    app.exec(QStringLiteral("update ma set zdtxsw = 'due list'"));
    app.context().openDatabase();
    QPointer<shell::ChangePasswordDialog> change = new shell::ChangePasswordDialog(app.context());
    change->show();
    auto* text1 = child<QLineEdit>(change, "Text1");
    auto* text2 = child<QLineEdit>(change, "Text2");
    auto inStage1 = [&] {
        return text1->isVisible() && child<QLabel>(change, "Label1")->isVisible()
               && child<QPushButton>(change, "Command1")->isVisible() && !text2->isVisible()
               && !child<QLabel>(change, "Label2")->isVisible()
               && !child<QPushButton>(change, "Command3")->isVisible();
    };
    QVERIFY(inStage1());

    type(text1, first);
    QTest::keyClick(text1, Qt::Key_Return);
    QVERIFY(text2->isVisible() && !text1->isVisible());
    QCOMPARE(change->focusWidget(), text2);
    type(text2, second);
    // 查看密码 shows the hidden first box.
    QTest::mouseClick(child<QPushButton>(change, "Command2"), Qt::LeftButton);
    QTest::keyClick(text2, Qt::Key_Return);

    QCOMPARE(app.dialogs.texts(),
             (QStringList{QStringLiteral("当前密码为:") + first,
                          match ? QStringLiteral("密码设置成功！") : QStringLiteral("密码不对,请重输入")}));
    for (const auto& m : app.dialogs.messages) {
        QCOMPARE(m.title, platform::kDefaultTitle);
        QCOMPARE(m.buttons, Buttons::Ok);
    }
    QCOMPARE(app.column(QStringLiteral("select mm from ma")), QStringList{stored});
    QCOMPARE(app.scalar(QStringLiteral("select zdtxsw from ma")), QStringLiteral("due list"));
    QVERIFY(change && change->isVisible());
    QCOMPARE(inStage1(), !match); // a mismatch starts over, as freshly opened
    if (!match)
        QVERIFY(text1->text().isEmpty() && text2->text().isEmpty());
    change->close();
    QTRY_VERIFY(change.isNull());

    // The next start asks for the password unless it is the marker.
    ReminderFactory factory;
    shell::LoginDialog next(app.context(), factory.function());
    next.start();
    QCOMPARE(next.isVisible(), stored != QLatin1String("wkfn"));
    QVERIFY(app.exitCodes.isEmpty());
}

int runPasswordGateTests(int argc, char** argv)
{
    TestPasswordGate tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestPasswordGate.moc"
