// The shell: login, verify and change-password dialogs, start and end, the main window's picture.
#include "PlainDb.h"
#include "TestApp.h"

#include "reminders/ReminderWindow.h"
#include "shell/ChangePasswordDialog.h"
#include "shell/LoginDialog.h"
#include "shell/MainWindow.h"
#include "shell/Password.h"
#include "shell/VerifyPasswordDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <sqlite3.h>

namespace {

QString sqlValue(const QVariant& value)
{
    return value.isNull() ? QStringLiteral("null") : "'" + value.toString() + "'";
}

template <typename T>
T* child(QWidget* window, const char* name) // a missing widget fails the test by crashing
{
    return window->findChild<T*>(QLatin1String(name));
}

// PNG content whatever the name says: the picture is recognised by its content.
void writePicture(const QString& path, QColor colour)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "PNG"));
}

QColor shownColour(shell::MainWindow& window) // transparent for no picture
{
    const QImage image = window.findChild<QLabel*>(QStringLiteral("picture"))->pixmap().toImage();
    return image.isNull() ? QColor(Qt::transparent)
                          : image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void passwordCheck_data()
    {
        QTest::addColumn<bool>("verifying");  // else logging in
        QTest::addColumn<QVariant>("stored"); // verify: stored after the dialog was loaded
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("login trailing blank") << false << QVariant("6158") << "6158 " << false;
        QTest::newRow("login other case") << false << QVariant("Secret") << "secret" << false;
        QTest::newRow("login stored blanks left out") << false << QVariant("ab  ") << "ab" << false;
        QTest::newRow("login marker in capitals") << false << QVariant("WKFN") << "WKFN" << true;
        QTest::newRow("login empty stored, nothing typed") << false << QVariant("") << "" << true;
        QTest::newRow("login null stored, nothing typed") << false << QVariant() << "" << false;
        QTest::newRow("login no ma row") << false << QVariant("<no row>") << "6158" << true;
        QTest::newRow("verify old after a change") << true << QVariant("new") << "6158" << false;
        QTest::newRow("verify new after a change") << true << QVariant("new") << "new" << true;
    }

    void passwordCheck()
    {
        QFETCH(bool, verifying);
        QFETCH(QVariant, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TestApp app;
        const QString update =
            stored == "<no row>" ? "delete from ma" : "update ma set mm = " + sqlValue(stored);
        if (!verifying) app.exec(update);
        shell::LoginDialog login(app.context(), nullptr);
        QPointer<shell::VerifyPasswordDialog> verify;
        const auto cleanup = qScopeGuard([&] { delete verify.data(); });
        QDialog* dialog = &login;
        if (!verifying) login.start();
        if (verifying) {
            app.context().openDatabase();
            dialog = verify = new shell::VerifyPasswordDialog(app.context());
            verify->show();
            app.exec(update);
        }
        auto* box = child<QLineEdit>(dialog, "Text1");
        if (!verifying) QCOMPARE(dialog->focusWidget(), box);
        QTest::keyClicks(box, typed);
        QTest::mouseClick(child<QPushButton>(dialog, verifying ? "Command1" : "cmdOK"),
                          Qt::LeftButton);

        QCOMPARE(dialog->isVisible(), !accepted);
        QPointer<QWidget> next =
            verifying ? static_cast<QWidget*>(verify->changeDialog()) : login.mainWindow();
        QCOMPARE(next && next->isVisible(), accepted);
        if (verifying) delete next.data();
        QCOMPARE(app.dialogs.texts(), QStringList(accepted ? 0 : 1, "无效的密码，请重试!"));
        if (!accepted) {
            // Login empties the box so the next try is judged alone; verify selects the try.
            QCOMPARE(box->text() + '|' + box->selectedText(),
                     verifying ? typed + '|' + typed : "|");
            QCOMPARE(dialog->focusWidget(), box);
        }
        QVERIFY(app.exitCodes.isEmpty());
    }

    void startAndEnd_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("login 取消") << "cancel";
        QTest::newRow("main window closed before the timer") << "main";
        QTest::newRow("main window closed after the reminder window opened") << "reminders";
    }

    // The no-password marker skips the prompt; the reminder window follows a second later, once.
    // Cancelling the login or closing the main window ends the program.
    void startAndEnd()
    {
        QFETCH(QString, how);
        const bool viaMain = how != "cancel";
        TestApp app;
        if (viaMain) app.exec("update ma set mm = 'wkfn'");
        int calls = 0;
        shell::LoginDialog login(app.context(), [&calls]() -> QWidget* {
            ++calls;
            return new QWidget;
        });
        login.start();
        QCOMPARE(login.isVisible(), !viaMain);
        QCOMPARE(login.mainWindow() && login.mainWindow()->isVisible(), viaMain);
        QCOMPARE(calls, 0);
        // Even the right password is unused.
        if (!viaMain) QTest::keyClicks(child<QLineEdit>(&login, "Text1"), "6158");
        if (!viaMain) QTest::mouseClick(child<QPushButton>(&login, "cmdCancel"), Qt::LeftButton);
        if (how == "reminders") {
            QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
            QVERIFY(login.mainWindow()->reminderWindow()->isVisible());
        }
        if (viaMain) {
            auto* timer = login.mainWindow()->findChild<QTimer*>(QStringLiteral("startTimer"));
            login.mainWindow()->close();
            QVERIFY(!timer->isActive()); // no reminder window after the end
        }
        QCOMPARE(app.exitCodes, QList<int>{0});
        QCOMPARE(calls, how == "reminders" ? 1 : 0);
        QVERIFY(!app.context().connected() && !login.isVisible() && app.dialogs.messages.isEmpty());
    }

    // A missing book stops the start with an error box and is not made anew.
    void missingDatabase()
    {
        TestApp app;
        QVERIFY(QFile::remove(app.databasePath()));
        shell::LoginDialog login(app.context(), nullptr);
        login.start();
        QCOMPARE(app.dialogs.messages.size(), 1);
        QCOMPARE(app.exitCodes, QList<int>{1});
        QVERIFY(!login.isVisible() && !login.mainWindow() && !QFile::exists(app.databasePath()));
    }

    void changePassword_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        for (const auto& [name, first, second] : {std::tuple("other case", "abc", "ABC"),
                                                  {"trailing blank", "abc ", "abc"},
                                                  {"blanks kept", " a b ", " a b "},
                                                  {"both empty", "", ""},
                                                  {"settings row lost", "abc", "abc"}})
            QTest::newRow(name) << QString(first) << QString(second);
    }

    // A lost ma row is made again by the first write, the other settings left empty.
    void changePassword()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        const bool rowLost = QTest::currentDataTag() == QLatin1String("settings row lost");
        const bool match = first == second;
        TestApp app;
        app.exec(rowLost ? "delete from ma" : "update ma set zdtxsw = 'due list'");
        app.context().openDatabase();
        QPointer<QDialog> change = new shell::ChangePasswordDialog(app.context());
        const auto cleanup = qScopeGuard([&] { delete change.data(); });
        change->show();
        auto* text1 = child<QLineEdit>(change, "Text1");
        auto* text2 = child<QLineEdit>(change, "Text2");
        auto* save = child<QPushButton>(change, "Command3");
        auto stage1 = [&] { return text1->isVisible() && text2->isHidden() && save->isHidden(); };
        QVERIFY(stage1());
        QTest::keyClicks(text1, first);
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(!stage1() && text2->isVisible() && change->focusWidget() == text2);
        QTest::keyClicks(text2, second);
        // 查看密码 shows the hidden first box.
        QTest::mouseClick(child<QPushButton>(change, "Command2"), Qt::LeftButton);
        QTest::keyClick(text2, Qt::Key_Return);

        QCOMPARE(
            app.dialogs.texts(),
            (QStringList{"当前密码为:" + first, match ? "密码设置成功！" : "密码不对,请重输入"}));
        // Saved only when both boxes agree.
        QCOMPARE(plainRows(app.databasePath(), "select mm, zdtxsw from ma"),
                 QStringList{(match ? first : "6158") + (rowLost ? "|<null>" : "|due list")});
        QVERIFY(change && change->isVisible());
        QCOMPARE(stage1(), !match); // a mismatch starts over, as freshly opened
        if (!match) QVERIFY(text1->text().isEmpty() && text2->text().isEmpty());
    }

    // A book whose ma row was lost reads as a fresh one, and the reminder
    // window's first write makes the row again, with the initial password.
    void lostSettingsRow()
    {
        TestApp app;
        app.exec("delete from ma; insert into mp (要事, 每周时间) values ('x', '100')");
        app.context().openDatabase();
        reminders::ReminderWindow window(app.context());
        window.show();
        QVERIFY(app.dialogs.messages.isEmpty() && app.exitCodes.isEmpty());
        QCOMPARE(plainRows(app.databasePath(), "select mm, zdtxsw from ma"),
                 QStringList{"6158|目前没有重要事务提醒"});
    }

    // Closed and opened again, the connection is the same object, so record
    // sets opened before keep working.
    void reopenKeepsTheConnection()
    {
        TestApp app;
        app.context().openDatabase();
        store::Connection* first = &app.context().dbConnection();
        store::Recordset settings(shell::kPasswordSql, *first);
        first->close();
        QVERIFY(!app.context().connected());
        app.context().openDatabase();
        QCOMPARE(&app.context().dbConnection(), first);
        settings.collect("zdtxsw", "again");
        settings.update();
        QCOMPARE(app.scalar("select zdtxsw from ma"), "again");
    }

    void picture_data()
    {
        // The name in tp, "@" for the app folder, "-" for no row; a picture lies at the .gif
        // name, the database's bytes at the .jpg one.
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("defaultThere");
        QTest::addColumn<QColor>("shown"); // blue: the stored picture, red: the default, or none
        const QColor stored(Qt::blue), fallback(Qt::red), none(Qt::transparent);
        const QVariant unset("1123"), chosen("@/chosen.gif"), junk("@/notes.jpg");
        QTest::newRow("1123, default there") << unset << true << fallback;
        QTest::newRow("chosen picture") << chosen << true << stored;
        QTest::newRow("null") << QVariant() << true << fallback;
        QTest::newRow("no row in tp") << QVariant("-") << true << fallback;
        QTest::newRow("not a picture") << junk << true << fallback;
        QTest::newRow("not a picture, no default") << junk << false << none;
    }

    void picture()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, defaultThere);
        QFETCH(QColor, shown);
        TestApp app;
        if (defaultThere) writePicture(app.path() + "/油画-鹿鹤同春.jpg", Qt::red);
        const QString storedPath = stored.toString().replace('@', app.path());
        const bool picture = storedPath.endsWith(".gif");
        if (picture) writePicture(storedPath, Qt::blue);
        if (storedPath.endsWith(".jpg")) QVERIFY(QFile::copy(app.databasePath(), storedPath));
        app.exec(storedPath == "-" ? "delete from tp"
                                   : "update tp set 图片名称 = " +
                                         sqlValue(stored.isNull() ? stored : storedPath));

        app.context().openDatabase();
        shell::MainWindow window(app.context(), nullptr);
        window.show();
        QCOMPARE(shownColour(window), shown);
        QVERIFY(app.dialogs.messages.isEmpty() && app.exitCodes.isEmpty());
        if (!picture) return;
        // Replaced on disk under the same name: read again at the next resize.
        writePicture(storedPath, Qt::green);
        window.resize(700, 500);
        QTRY_COMPARE(shownColour(window), QColor(Qt::green));
    }

    // The picture is read again at every resize; a book another program holds
    // keeps the last picture without a word, and ends nothing.
    void resizeWhileBookHeld()
    {
        TestApp app;
        const QString path = app.path() + "/p.gif";
        writePicture(path, Qt::blue);
        app.exec("update tp set 图片名称 = " + sqlValue(path));
        app.context().openDatabase();
        shell::MainWindow window(app.context(), nullptr);
        window.show();
        QCOMPARE(shownColour(window), QColor(Qt::blue));
        writePicture(path, Qt::green);
        sqlite3* other = nullptr;
        sqlite3_open(app.databasePath().toUtf8().constData(), &other);
        QCOMPARE(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
        window.resize(700, 500);
        QTest::qWait(50);
        sqlite3_close_v2(other);
        QCOMPARE(shownColour(window), QColor(Qt::blue));
        QVERIFY(app.dialogs.messages.isEmpty() && app.exitCodes.isEmpty());
        window.resize(720, 500);
        QTRY_COMPARE(shownColour(window), QColor(Qt::green));
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
