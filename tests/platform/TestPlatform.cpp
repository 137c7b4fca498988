#include "TestPlatform.h"

#include "platform/Autostart.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/Speech.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Points HOME and XDG_CONFIG_HOME elsewhere for one test and puts them back.
class EnvironmentGuard {
public:
    EnvironmentGuard() : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME"))
    {
        hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    }
    ~EnvironmentGuard()
    {
        qputenv("HOME", home_);
        if (hadConfig_)
            qputenv("XDG_CONFIG_HOME", config_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

private:
    QByteArray home_;
    QByteArray config_;
    bool hadConfig_ = false;
};

QString readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

void TestPlatform::autostartWritesEntry_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");

    QTest::newRow("plain") << "/opt/lumo/rmd"
                           << R"(Exec="/opt/lumo/rmd")";
    QTest::newRow("blanks and Chinese") << "/home/u/我的 程序/rmd"
                                        << R"(Exec="/home/u/我的 程序/rmd")";
    // Quoting escapes " ` $ \ with a backslash, the value escapes that backslash
    // again, and % would start a field code.
    QTest::newRow("specials") << R"(/tmp/a"b$c`d\e%f/rmd)"
                              << R"(Exec="/tmp/a\\"b\\$c\\`d\\\\e%%f/rmd")";
}

void TestPlatform::autostartWritesEntry()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    EnvironmentGuard guard;
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path() + "/cfg"));

    platform::XdgAutostart autostart;
    QCOMPARE(autostart.enable(QStringLiteral("/somewhere/else")), QString());
    QCOMPARE(autostart.enable(program), QString());

    const QStringList lines = readAll(config.path() + "/cfg/autostart/Lumo.desktop").split('\n');
    QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
    QVERIFY(lines.contains("Type=Application"));
    QVERIFY(lines.contains("Name=Lumo"));
    QVERIFY(lines.contains("X-GNOME-Autostart-enabled=true"));
    QCOMPARE(lines.filter(QRegularExpression("^Exec=")), QStringList{exec});
}

void TestPlatform::autostartFindsConfigFolder()
{
    EnvironmentGuard guard;
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    const QString expected = home.path() + "/.config/autostart/Lumo.desktop";
    platform::XdgAutostart autostart;

    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(autostart.enable("/opt/lumo/rmd"), QString());
    QVERIFY(QFile::exists(expected));

    // A relative folder is not a valid setting and must not land in the working folder.
    QFile::remove(expected);
    qputenv("XDG_CONFIG_HOME", "relative/config");
    QCOMPARE(autostart.enable("/opt/lumo/rmd"), QString());
    QVERIFY(QFile::exists(expected));
    QVERIFY(!QFile::exists("relative/config"));
}

void TestPlatform::autostartReportsFailure()
{
    EnvironmentGuard guard;
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    platform::XdgAutostart autostart;

    // A file stands where the folder belongs.
    QFile blocker(config.path() + "/autostart");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(autostart.enable("/opt/lumo/rmd").startsWith("无法建立自动启动文件夹"));

    // A folder stands where the entry belongs.
    QVERIFY(QFile::remove(blocker.fileName()));
    QVERIFY(QDir(config.path()).mkpath("autostart/Lumo.desktop"));
    QVERIFY(autostart.enable("/opt/lumo/rmd").startsWith("无法写入自动启动文件"));
}

void TestPlatform::desktopReportsMissingFiles()
{
    QTemporaryDir dir;
    const QString missing = dir.path() + "/没有的文件.doc";
    platform::QtDesktop desktop;
    QCOMPARE(desktop.open(missing), "找不到文件：" + missing);
    QCOMPARE(desktop.open(QString()), QStringLiteral("找不到文件："));
    QCOMPARE(desktop.start(missing, {}), "无法启动程序：" + missing);
}

void TestPlatform::desktopStartsPrograms()
{
    // Opening a program runs it, as the document book expects.
    QTemporaryDir dir;
    const QString script = dir.path() + "/工具.sh";
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho ran > \"$(dirname \"$0\")/marker\"\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));

    platform::QtDesktop desktop;
    QCOMPARE(desktop.open(script), QString());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.path() + "/marker"), 10000);
}

void TestPlatform::dialogsAnswer_data()
{
    QTest::addColumn<platform::Buttons>("buttons");
    QTest::addColumn<int>("press"); // a QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<platform::Answer>("answer");

    using B = platform::Buttons;
    using A = platform::Answer;
    QTest::newRow("ok") << B::Ok << int(QMessageBox::Ok) << A::Ok;
    QTest::newRow("ok escape") << B::Ok << 0 << A::Ok;
    QTest::newRow("ok of ok/cancel") << B::OkCancel << int(QMessageBox::Ok) << A::Ok;
    QTest::newRow("cancel escape") << B::OkCancel << 0 << A::Cancel;
    QTest::newRow("yes") << B::YesNo << int(QMessageBox::Yes) << A::Yes;
    QTest::newRow("no") << B::YesNo << int(QMessageBox::No) << A::No;
    QTest::newRow("yes/no escape") << B::YesNo << 0 << A::No;
    QTest::newRow("no of three") << B::YesNoCancel << int(QMessageBox::No) << A::No;
    QTest::newRow("three escape") << B::YesNoCancel << 0 << A::Cancel;
}

void TestPlatform::dialogsAnswer()
{
    QFETCH(platform::Buttons, buttons);
    QFETCH(int, press);
    QFETCH(platform::Answer, answer);

    QString text, title;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        title = box->windowTitle();
        format = box->textFormat();
        icon = box->icon();
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    platform::QtDialogs dialogs;
    const QString shown = QStringLiteral("<b>请选中</b> 一个具体事务");
    QCOMPARE(dialogs.message(shown, "打印提醒", buttons, platform::Icon::Warning), answer);
    QCOMPARE(text, shown);
    QCOMPARE(title, QStringLiteral("打印提醒"));
    QCOMPARE(format, Qt::PlainText); // user text is never read as markup
    QCOMPARE(icon, QMessageBox::Warning);
}

void TestPlatform::qtFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");

    QTest::newRow("media") << "(*.wav)|*.wav|(*.mid)|*.mid|(*.dat)|*.dat|(*.avi)|*.avi"
                           << "(*.wav);;(*.mid);;(*.dat);;(*.avi)";
    QTest::newRow("all files first") << "所有文件|*.*|(*.mid)|*.mid"
                                     << "所有文件 (*);;(*.mid)";
    QTest::newRow("named patterns") << "jpeg(*.jpg)|*.jpg|bmp(*.bmp)|*.bmp"
                                    << "jpeg(*.jpg);;bmp(*.bmp)";
    // Qt's "*.*" hides files without a dot, programs among them.
    QTest::newRow("all files named") << "所有文件(*.*)|*.*"
                                     << "所有文件(*)";
    QTest::newRow("several patterns") << "图片|*.jpg;*.png"
                                      << "图片 (*.jpg *.png)";
    QTest::newRow("several named") << "图片 (*.jpg;*.png)|*.jpg; *.png"
                                   << "图片 (*.jpg *.png)";
    QTest::newRow("other name") << "Text (*.doc)|*.txt"
                                << "Text (*.doc) (*.txt)";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no pattern") << "孤单"
                                << "";
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

    QTest::newRow("en_US") << "en_US" << 1033;
    QTest::newRow("en-GB") << "en-GB" << 2057;
    QTest::newRow("zh_CN") << "zh_CN" << 2052;
    QTest::newRow("zh_TW") << "zh_TW" << 1028;
    QTest::newRow("es_ES") << "es_ES" << 3082;
    QTest::newRow("ja_JP") << "ja_JP" << 1041;
    QTest::newRow("en") << "en" << 1033;
    QTest::newRow("zh") << "zh" << 2052;
    QTest::newRow("de") << "de" << 1031;
    QTest::newRow("pt") << "pt" << 1046;
    QTest::newRow("zh_Hant") << "zh_Hant" << 1028;
    QTest::newRow("unlisted country") << "fr_SN" << 1036;
    QTest::newRow("unknown") << "xx" << 0;
    QTest::newRow("C") << "C" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestPlatform::languageId()
{
    QFETCH(QString, locale);
    QFETCH(int, id);
    QCOMPARE(platform::windowsLanguageId(locale), id);
}

QTEST_MAIN(TestPlatform)
