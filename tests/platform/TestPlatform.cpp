#include "TestPlatform.h"

#include "platform/Autostart.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/Speech.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

void TestPlatform::autostart()
{
    const QByteArray home = qgetenv("HOME"), xdg = qgetenv("XDG_CONFIG_HOME");
    const bool hadXdg = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        hadXdg ? qputenv("XDG_CONFIG_HOME", xdg) : qunsetenv("XDG_CONFIG_HOME");
    });
    QTemporaryDir dir;
    qputenv("HOME", QFile::encodeName(dir.path()));
    platform::XdgAutostart autostart;

    // A relative folder is not a valid setting and must not land in the working folder.
    qputenv("XDG_CONFIG_HOME", "relative/config");
    QCOMPARE(autostart.enable("/opt/rmd"), QString());
    QVERIFY(QFile::exists(dir.filePath(".config/autostart/Lumo.desktop")));
    QVERIFY(!QFile::exists("relative"));

    // Quoting escapes " ` $ \ with a backslash, the value escapes that backslash
    // again, and % would start a field code. A second call replaces the entry.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("cfg")));
    QCOMPARE(autostart.enable("/opt/rmd"), QString());
    QCOMPARE(autostart.enable(R"(/tmp/我的 程序/a"b$c`d\e%f)"), QString());
    QCOMPARE(QString::fromUtf8(readFile(dir.filePath("cfg/autostart/Lumo.desktop"))),
             QStringLiteral("[Desktop Entry]\nType=Application\nName=Lumo\n"
                            R"(Exec="/tmp/我的 程序/a\\"b\\$c\\`d\\\\e%%f")"
                            "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n"));

    // A file stands where the folder belongs.
    QVERIFY(writeFile(dir.filePath("file"), {}));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("file")));
    QCOMPARE(autostart.enable("/opt/rmd"),
             "无法建立自动启动文件夹：" + dir.filePath("file/autostart"));
}

void TestPlatform::defaultApplication_data()
{
    QTest::addColumn<QByteArray>("script"); // the xdg-mime found first in PATH; null: none
    QTest::addColumn<bool>("known");

    QTest::newRow("a program is named")
        << QByteArray("#!/bin/sh\n[ \"$1 $2 $3\" = \"query default application/x-t\" ] && "
                      "echo calc.desktop\n")
        << true;
    QTest::newRow("nothing is named") << QByteArray("#!/bin/sh\necho\n") << false;
    QTest::newRow("no xdg-mime") << QByteArray() << false;
}

void TestPlatform::defaultApplication()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, known);
    const QByteArray path = qgetenv("PATH");
    const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
    QTemporaryDir dir;
    const QString tool = dir.filePath("xdg-mime");
    if (!script.isNull()) {
        QVERIFY(writeFile(tool, script));
        QFile(tool).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    qputenv("PATH", QFile::encodeName(dir.path()));
    QCOMPARE(platform::hasDefaultApplication("application/x-t"), known);
}

void TestPlatform::desktop()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("没有的文件.doc");
    platform::QtDesktop desktop;
    QCOMPARE(desktop.open(missing), "找不到文件：" + missing);
    QCOMPARE(desktop.start(missing, {}), "无法启动程序：" + missing);

    // Opening a program runs it, as the document book expects.
    const QString script = dir.filePath("工具.sh");
    QVERIFY(writeFile(script, "#!/bin/sh\necho ran > \"$(dirname \"$0\")/marker\"\n"));
    QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));
    QCOMPARE(desktop.open(script), QString());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("marker")), 10000);
}

void TestPlatform::dialogsAnswer_data()
{
    QTest::addColumn<platform::Buttons>("buttons");
    QTest::addColumn<int>("press"); // a QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<platform::Answer>("answer");

    using B = platform::Buttons;
    using A = platform::Answer;
    QTest::newRow("ok/cancel escape") << B::OkCancel << 0 << A::Cancel;
    QTest::newRow("yes/no escape") << B::YesNo << 0 << A::No;
    QTest::newRow("no of three") << B::YesNoCancel << int(QMessageBox::No) << A::No;
    QTest::newRow("three escape") << B::YesNoCancel << 0 << A::Cancel;
}

void TestPlatform::dialogsAnswer()
{
    QFETCH(platform::Buttons, buttons);
    QFETCH(int, press);
    QFETCH(platform::Answer, answer);

    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        // A warning whose text is never read as markup.
        const bool plain =
            box->textFormat() == Qt::PlainText && box->icon() == QMessageBox::Warning;
        seen = box->windowTitle() + '|' + box->text() + (plain ? "|plain" : "");
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    const QString shown = QStringLiteral("<b>请选中</b> 一个具体事务");
    platform::QtDialogs dialogs;
    QCOMPARE(dialogs.message(shown, "打印提醒", buttons, platform::Icon::Warning), answer);
    QCOMPARE(seen, "打印提醒|" + shown + "|plain");
}

void TestPlatform::qtFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, const char* filter, const char* expected) {
        QTest::newRow(name) << QString(filter) << QString(expected);
    };
    // Qt's "*.*" would hide files without a dot, programs among them.
    row("all first", "所有文件|*.*|(*.mid)|*.mid", "所有文件 (*);;(*.mid)");
    row("all named", "所有文件(*.*)|*.*", "所有文件(*)");
    row("several named", "图片 (*.jpg;*.png)|*.jpg; *.png", "图片 (*.jpg *.png)");
    row("other name", "Text (*.doc)|*.txt", "Text (*.doc) (*.txt)");
    row("no pattern", "孤单", "");
}

void TestPlatform::qtFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(platform::QtDialogs::toQtFilter(filter), expected);
}

void TestPlatform::languageId_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("id");

    QTest::newRow("en-GB") << "en-GB" << 2057;
    QTest::newRow("zh_Hant") << "zh_Hant" << 1028;
    QTest::newRow("es_ES") << "es_ES" << 3082;
    QTest::newRow("pt") << "pt" << 1046;
    QTest::newRow("unlisted country") << "fr_SN" << 1036;
    QTest::newRow("unknown") << "xx" << 0;
}

void TestPlatform::languageId()
{
    QFETCH(QString, locale);
    QFETCH(int, id);
    QCOMPARE(platform::windowsLanguageId(locale), id);
}

QTEST_MAIN(TestPlatform)
