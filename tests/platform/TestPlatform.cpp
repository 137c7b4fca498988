#include "platform/Autostart.h"
#include "platform/ChineseUi.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/MediaSamples.h"
#include "platform/OoxmlSheet.h"
#include "platform/Pictures.h"
#include "platform/Speech.h"
#include "platform/SpreadsheetPrinter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>
#include <zip.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           (!executable || file.setPermissions(file.permissions() | QFile::ExeOwner));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One member of a saved workbook, read with libzip directly; empty when missing.
QByteArray zipEntry(const QString& path, const char* name)
{
    QByteArray bytes;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    zip_file_t* file = zip ? zip_fopen(zip, name, 0) : nullptr;
    char buffer[4096];
    for (zip_int64_t n; file && (n = zip_fread(file, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, qsizetype(n));
    if (file) zip_fclose(file);
    if (zip) zip_discard(zip);
    return bytes;
}

// A worksheet read back the way a spreadsheet program would, independently of
// the code that wrote it: in document order "#4" for a row, "B4=text" for a
// cell, "B4:2=text" for one with style 2, or the reading error.
QStringList readSheet(const QByteArray& xml)
{
    QStringList out;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        const QString r = reader.attributes().value(QLatin1String("r")).toString();
        const QString s = reader.attributes().value(QLatin1String("s")).toString();
        if (reader.name() == u"row")
            out << '#' + r;
        else if (reader.name() == u"c")
            out << r + (s.isEmpty() ? "=" : ':' + s + '=');
        else if (reader.name() == u"t" || reader.name() == u"v")
            out.last() += reader.readElementText();
    }
    if (reader.hasError()) out << reader.errorString();
    return out;
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void autostart()
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
        // again. A second call replaces the entry.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("cfg")));
        QCOMPARE(autostart.enable("/opt/rmd"), QString());
        const QString odd = "/tmp/我的 程序/a\"b$c`d\\e";
        const QString entry = "[Desktop Entry]\nType=Application\nName=Lumo\nIcon=lumo\n"
                              "Exec=\"/tmp/我的 程序/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e\"\n"
                              "Terminal=false\nX-GNOME-Autostart-enabled=true\n";
        QCOMPARE(autostart.enable(odd), QString());
        QCOMPARE(QString::fromUtf8(readFile(dir.filePath("cfg/autostart/Lumo.desktop"))), entry);
        // The desktop cannot start a path holding %: a failure, the entry kept.
        QCOMPARE(autostart.enable("/opt/50%/rmd"),
                 "程序所在的路径含有“%”，桌面无法据此自动启动它：/opt/50%/rmd");
        QCOMPARE(QString::fromUtf8(readFile(dir.filePath("cfg/autostart/Lumo.desktop"))), entry);

        // A file stands where the folder belongs.
        QVERIFY(writeFile(dir.filePath("file"), {}));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("file")));
        QCOMPARE(autostart.enable("/opt/rmd"),
                 "无法建立自动启动文件夹：" + dir.filePath("file/autostart"));
    }

    // The xdg-mime found first in PATH is missing, names a program, names
    // none, or answers too late. The question never waits for the answer.
    void defaultApplication_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: no xdg-mime at all
        QTest::addColumn<bool>("known");
        const QByteArray asked = "#!/bin/sh\n[ \"$*\" = \"query default application/x-t\" ] && ";
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("names a program") << asked + "echo calc.desktop\n" << true;
        QTest::newRow("names none") << asked + "echo\n" << false;
        QTest::newRow("slow") << asked + "/bin/sleep 1 && echo calc.desktop\n" << true;
        QTest::newRow("too slow") << asked + "/bin/sleep 5 && echo calc.desktop\n" << false;
    }
    void defaultApplication()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, known);
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
        QTemporaryDir dir;
        qputenv("PATH", QFile::encodeName(dir.path()));
        if (!script.isEmpty()) QVERIFY(writeFile(dir.filePath("xdg-mime"), script, true));
        QObject receiver;
        QList<bool> answers;
        platform::askDefaultApplication(
            "application/x-t", &receiver, [&answers](bool k) { answers << k; }, 3000);
        QVERIFY(answers.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 1, 6000);
        QCOMPARE(answers.first(), known);
        QTest::qWait(100);
        QCOMPARE(answers.size(), 1);
    }

    void desktop()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath("没有的文件.doc");
        platform::QtDesktop desktop;
        QCOMPARE(desktop.open(missing), "找不到文件：" + missing);

        // Opening a program runs it, as the document book expects.
        const QString script = dir.filePath("工具.sh");
        QVERIFY(writeFile(script, "#!/bin/sh\necho ran > \"$(dirname \"$0\")/marker\"\n", true));
        QCOMPARE(desktop.open(script), QString());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("marker")), 10000);
    }

    // What xdg-open answers (its exit code) and whether the user is told.
    void openerFails_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("told");
        QTest::newRow("opened") << 0 << false;
        QTest::newRow("no program for the type") << 3 << true;
        QTest::newRow("program failed") << 4 << true;
    }
    void openerFails()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, told);
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
        QTemporaryDir dir;
        qputenv("PATH", QFile::encodeName(dir.path()) + ":/usr/bin:/bin");
        QVERIFY(writeFile(
            dir.filePath("xdg-open"),
            "#!/bin/sh\ntouch \"$1.seen\"\nexit " + QByteArray::number(exitCode) + "\n", true));
        const QString file = dir.filePath("报告.odt");
        QVERIFY(writeFile(file, "x"));
        QStringList reports;
        platform::QtDesktop desktop([&](const QString& text) { reports << text; });
        QCOMPARE(desktop.open(file), QString());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file + ".seen"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(reports.size(), int(told), 5000);
        QTest::qWait(200);
        QCOMPARE(reports, told ? QStringList{"桌面无法打开这个文件：" + file} : QStringList{});
    }

    // Escape is the box's way out; a warning's text is never read as markup.
    void dialogsAnswer()
    {
        using B = platform::Buttons;
        using A = platform::Answer;
        const QString shown = QStringLiteral("<b>请选中</b> 一个具体事务");
        platform::QtDialogs dialogs;
        // The button pressed, or 0 for Escape.
        for (const auto& [buttons, press, answer] : {std::tuple(B::YesNo, 0, A::No),
                                                     {B::YesNoCancel, int(QMessageBox::No), A::No},
                                                     {B::YesNoCancel, 0, A::Cancel}}) {
            QString seen;
            QTimer::singleShot(0, [&, press = press] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                const bool plain =
                    box->textFormat() == Qt::PlainText && box->icon() == QMessageBox::Warning;
                seen = box->windowTitle() + '|' + box->text() + (plain ? "|plain" : "");
                if (press)
                    box->button(QMessageBox::StandardButton(press))->click();
                else
                    QTest::keyClick(box, Qt::Key_Escape);
            });
            QCOMPARE(dialogs.message(shown, "打印提醒", buttons, platform::Icon::Warning), answer);
            QCOMPARE(seen, "打印提醒|" + shown + "|plain");
        }
    }

    // Words Qt's Chinese catalogue lacks are ours; other texts pass through.
    void chineseWords_data()
    {
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("shown");
        const QByteArray icons = "QAbstractFileIconProvider";
        QTest::newRow("folder") << icons << QByteArray("Folder") << "文件夹";
        QTest::newRow("drive") << icons << QByteArray("Drive") << "驱动器";
        QTest::newRow("file type") << icons << QByteArray("%1 File") << "%1 文件";
        QTest::newRow("other context") << QByteArray("Lumo") << QByteArray("Folder") << "Folder";
    }
    void chineseWords()
    {
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, source);
        QFETCH(QString, shown);
        static const bool once = (platform::setUpChineseUi(*qApp), true);
        Q_UNUSED(once);
        QCOMPARE(QCoreApplication::translate(context, source, "All other platforms"), shown);
    }

    // Enter gives the box's default answer; the box leaves its title room.
    void dialogsDefault_data()
    {
        QTest::addColumn<platform::Buttons>("buttons");
        QTest::addColumn<platform::Answer>("enter");
        QTest::newRow("yes first") << platform::Buttons::YesNo << platform::Answer::Yes;
        QTest::newRow("no first") << platform::Buttons::YesNoDefaultNo << platform::Answer::No;
        QTest::newRow("ok") << platform::Buttons::Ok << platform::Answer::Ok;
    }
    void dialogsDefault()
    {
        QFETCH(platform::Buttons, buttons);
        QFETCH(platform::Answer, enter);
        const QString title = QStringLiteral("Lumo 事务提醒");
        int width = 0, titleWidth = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            width = box->width();
            titleWidth = box->fontMetrics().horizontalAdvance(title);
            QTest::keyClick(box, Qt::Key_Return);
        });
        platform::QtDialogs dialogs;
        QCOMPARE(dialogs.message(QStringLiteral("好"), title, buttons, platform::Icon::None),
                 enter);
        QVERIFY2(width > titleWidth + 120,
                 qPrintable(QString("%1 for %2").arg(width).arg(titleWidth)));
    }

    // Qt's "*.*" would hide files without a dot, programs among them.
    void qtFilter()
    {
        for (const auto& [filter, expected] :
             {std::pair("所有文件|*.*|(*.mid)|*.mid", "所有文件 (*);;(*.mid)"),
              {"所有文件(*.*)|*.*", "所有文件(*)"},
              {"图片 (*.jpg;*.png)|*.jpg; *.png", "图片 (*.jpg *.png)"},
              {"Text (*.doc)|*.txt", "Text (*.doc) (*.txt)"},
              {"孤单", ""}})
            QCOMPARE(platform::QtDialogs::toQtFilter(filter), expected);
    }

    // Listed, an unlisted form, an unlisted country, unknown.
    void languageId()
    {
        for (const auto& [locale, id] :
             {std::pair("en-GB", 2057), {"zh_Hant", 1028}, {"fr_SN", 1036}, {"xx", 0}})
            QCOMPARE(platform::windowsLanguageId(locale), id);
    }

    // A missing file, then one that is no media.
    void mediaPlayerReportsBadFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("乱码.wav");
        for (const char* messageStart : {"找不到媒体文件：", "无法播放媒体文件："}) {
            auto player = platform::createQtMediaPlayer();
            QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
            QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);
            player->play(path);
            // The caller connects after play() in some windows: nothing may arrive before
            // the event loop runs.
            QCOMPARE(errors.size(), 0);
            QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 20000);
            const QString message = errors.first().first().toString();
            QVERIFY2(message.startsWith(messageStart + path), qPrintable(message));
            // Nothing of a stopped file is reported, and one problem gave one message.
            player->play(path);
            player->stop();
            QTest::qWait(300);
            QCOMPARE(QList({errors.size(), loaded.size()}), QList<qsizetype>({1, 0}));
            QVERIFY(writeFile(path, QByteArray(4096, 'x')));
        }
    }

    // Each sample must be a file the backend really decodes, else the component
    // check would blame the machine for a fault of ours.
    void mediaSamplesLoad()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("闹铃 声音"));
        const auto samples = platform::writeMediaSamples(dir.filePath("闹铃 声音"));
        QCOMPARE(samples.size(), 4); // wav, mid, dat, avi
        for (const platform::MediaSample& sample : samples) {
            auto player = platform::createQtMediaPlayer();
            QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);
            QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
            QSignalSpy finished(player.get(), &platform::MediaPlayer::finished);
            const auto why = [&] { return sample.kind + errors.value(0).value(0).toString(); };
            // A missing file replaced at once must not be reported on.
            player->play(dir.filePath("missing.wav"));
            player->play(sample.path);
            QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !errors.isEmpty(), 20000);
            QVERIFY2(errors.isEmpty() && loaded.size() == 1, qPrintable(why()));
            const qint64 duration = loaded.first().first().toLongLong();
            // A stream may not know its length; when it does, it must be ours.
            QVERIFY2(duration <= 0 || qAbs(duration - sample.durationMs) <= 150, qPrintable(why()));
            // And plays to its end, without a sound card too, as the alarm and the relax
            // command need.
            QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() || !errors.isEmpty(), 20000);
            QVERIFY2(errors.isEmpty(), qPrintable(why()));
        }
    }

    void speechListsVoices()
    {
        // Ended while its engine still starts: waits for it, then ends cleanly.
        platform::createQtSpeech()->speak(QStringLiteral("nothing"));
        auto speech = platform::createQtSpeech();
        speech->speak(QStringLiteral("before the engine answers: nothing"));
        QObject receiver;
        bool answered = false;
        speech->whenReady(&receiver, [&answered] { answered = true; });
        QCOMPARE(answered, speech->ready());
        QTRY_VERIFY_WITH_TIMEOUT(answered, 30000);
        if (!speech->usable()) {
            QVERIFY(speech->errorText().startsWith("没有可用的语音引擎"));
            QSKIP(qPrintable("no speech engine runs here: " + speech->errorText()));
        }
        // Nothing is spoken: without a sound card speech-dispatcher 0.11 hangs
        // once asked to speak, and every later client with it.
        QVERIFY2(
            std::ranges::any_of(speech->voices(), [](auto& v) { return v.languageId == 1033; }),
            "an English (United States) voice reads the vocabulary");
    }

    void sheetFill()
    {
        const QByteArray xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\""
            "http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:mc=\""
            "http://schemas.openxmlformats.org/markup-compatibility/2006\" mc:Ignorable=\"x14ac\""
            " xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\"><cols>"
            "<col min=\"2\" max=\"3\" width=\"90\" style=\"2\" customWidth=\"1\"/></cols>"
            "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>T</t></is></c></row><row"
            " r=\"4\"><c r=\"B4\" s=\"3\" t=\"s\"><v>0</v></c></row><row r=\"5\" spans=\"1:3\"><c"
            " r=\"A5\"><v>1</v></c><c r=\"B5\" s=\"1\"><v>7</v></c><c r=\"C5\"><v>3</v></c></row>"
            "<row r=\"9\"><c r=\"B9\"><v>9</v></c></row></sheetData><pageMargins left=\"0.7\"/>"
            "</worksheet>";
        // Replaced cells keep their look, an empty line clears one, new cells take
        // column B's look, and rows stay in order.
        const auto out = platform::ooxml::fillColumnB(xml, {"new", "", "x", "y", ""});
        QVERIFY(out);
        QCOMPARE(readSheet(*out),
                 (QStringList{"#1", "A1=T", "#4", "B4:3=new", "#5", "A5=1", "B5:1=", "C5=3", "#6",
                              "B6:2=x", "#7", "B7:2=y", "#9", "B9=9"}));
        // Prefixes named inside attribute values must survive the copy, and what follows the rows.
        QVERIFY(out->contains("mc:Ignorable=\"x14ac\"") && out->contains("xmlns:x14ac=\"") &&
                out->contains("<pageMargins "));
    }

    // The filled sheet's dimension and row spans are those of the cells it
    // holds; the declaration is XML whatever the template had.
    void sheetExtents_data()
    {
        QTest::addColumn<QByteArray>("declaration");
        QTest::addColumn<QByteArray>("dimension");
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("extents"); // "dimension|row:spans ..."
        const QByteArray declared = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
        const QByteArray a1 = "<dimension ref=\"A1\"/>";
        const QByteArray title = "<row r=\"1\" spans=\"1:1\"><c r=\"A1\"><v>1</v></c></row>";
        QTest::newRow("lines below a title")
            << declared << a1 << title << QStringList{"a", "", "c"} << "A1:B6|1:1:1 4:2:2 6:2:2";
        QTest::newRow("nothing to write") << declared << QByteArray("<dimension ref=\"A1:Z99\"/>")
                                          << title << QStringList{} << "A1|1:1:1";
        QTest::newRow("no cells at all")
            << declared << a1 << QByteArray() << QStringList{""} << "A1|";
        QTest::newRow("one line") << declared << a1 << QByteArray() << QStringList{"x"}
                                  << "B4|4:2:2";
        QTest::newRow("written between template cells")
            << declared << a1
            << QByteArray("<row r=\"5\" spans=\"1:1\"><c r=\"A5\"/><c r=\"D5\"><v>4</v></c></row>")
            << QStringList{"", "b"} << "A5:D5|5:1:4";
        QTest::newRow("no declaration")
            << QByteArray() << a1 << title << QStringList{"a"} << "A1:B4|1:1:1 4:2:2";
        QTest::newRow("column beyond the last is no reference")
            << declared << a1 << QByteArray("<row r=\"4\"><c r=\"XFE4\"><v>1</v></c></row>")
            << QStringList{"a"} << "A4:B4|4:1:2";
    }
    void sheetExtents()
    {
        QFETCH(QByteArray, declaration);
        QFETCH(QByteArray, dimension);
        QFETCH(QByteArray, rows);
        QFETCH(QStringList, lines);
        QFETCH(QString, extents);
        const QByteArray xml = declaration +
                               "<worksheet xmlns=\"http://schemas.openxmlformats.org/"
                               "spreadsheetml/2006/main\">" +
                               dimension + "<sheetData>" + rows + "</sheetData></worksheet>";
        const auto out = platform::ooxml::fillColumnB(xml, lines);
        QVERIFY(out);
        QVERIFY2(out->startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\""), out->constData());
        QString found;
        QStringList spans;
        QXmlStreamReader reader(*out);
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement) continue;
            const auto a = reader.attributes();
            if (reader.name() == u"dimension") found = a.value(QLatin1String("ref")).toString();
            if (reader.name() == u"row" && a.hasAttribute(QLatin1String("spans")))
                spans << a.value(QLatin1String("r")).toString() + ':' +
                             a.value(QLatin1String("spans")).toString();
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(found + '|' + spans.join(' '), extents);
    }

    // A picture larger than Qt decodes at once is read at the size it is
    // shown at; only what is no picture is refused.
    void readPicture_data()
    {
        QTest::addColumn<QSize>("stored"); // empty: a file that is no picture
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("room");
        QTest::addColumn<QSize>("read");
        QTest::newRow("phone photo")
            << QSize(6000, 6000) << QByteArray("JPG") << QSize(800, 600) << QSize(800, 800);
        QTest::newRow("large PNG, read whole")
            << QSize(6000, 6000) << QByteArray("PNG") << QSize(300, 400) << QSize(400, 400);
        QTest::newRow("wide photo")
            << QSize(8000, 4000) << QByteArray("JPG") << QSize(1000, 500) << QSize(1000, 500);
        QTest::newRow("small kept")
            << QSize(40, 30) << QByteArray("PNG") << QSize(800, 600) << QSize(40, 30);
        QTest::newRow("no picture")
            << QSize() << QByteArray("JPG") << QSize(800, 600) << QSize(0, 0);
    }
    void readPicture()
    {
        QFETCH(QSize, stored);
        QFETCH(QByteArray, format);
        QFETCH(QSize, room);
        QFETCH(QSize, read);
        QTemporaryDir dir;
        const QString path = dir.filePath("picture");
        if (stored.isValid()) {
            QImage image(stored, QImage::Format_RGB888);
            image.fill(Qt::darkGreen);
            QVERIFY(image.save(path, format.constData()));
        } else {
            QVERIFY(writeFile(path, "no picture"));
        }
        const QImage image = platform::readPicture(path, room);
        QCOMPARE(image.size(), read);
    }

    void printerFillsTemplate()
    {
        QTemporaryDir dir;
        const QString templatePath = dir.filePath("mhxzsw.xltx");
        QVERIFY(QFile::copy(LUMO_TEMPLATE_DIR "/mhxzsw.xltx", templatePath));
        QStringList opened;
        // The second time no spreadsheet program opens the file.
        platform::OoxmlSpreadsheetPrinter printer(
            [&opened](const QString& path, std::function<void(bool)> done) {
                done((opened << path).size() < 2);
            });
        QSignalSpy notShown(&printer, &platform::SpreadsheetPrinter::notShown);
        const QString savePath = dir.filePath("打印/选中事务打印清单.xlsx");
        QCOMPARE(printer.print(templatePath, {"旧一", "旧二", "旧三", "旧四"}, savePath),
                 QString());
        // XML cannot carry most control characters; the cell loses them, not the sheet.
        QCOMPARE(notShown.size(), 0);
        QCOMPARE(printer.print(templatePath, {"买菜", "  末\x01行  "}, savePath), QString());
        QCOMPARE(notShown.size(), 1);
        QCOMPARE(notShown.first().first().toString(),
                 "表格已保存到" + savePath +
                     "，但本机没有可以打开.xlsx文件的电子表格程序（例如LibreOffice "
                     "Calc），请安装后再打开它。");
        QCOMPARE(opened, QStringList(2, savePath));
        // The wrapping of column B (style 1) reaches the written cells.
        const QStringList sheet = readSheet(zipEntry(savePath, "xl/worksheets/sheet1.xml"));
        QCOMPARE(sheet.mid(sheet.indexOf("#4")),
                 (QStringList{"#4", "B4:1=买菜", "#5", "B5:1=  末行  "}));
        const QByteArray types = zipEntry(savePath, "[Content_Types].xml");
        QVERIFY(types.contains("sheet.main+xml") && !types.contains("template.main+xml"));
        QCOMPARE(readFile(templatePath), readFile(LUMO_TEMPLATE_DIR "/mhxzsw.xltx"));
    }

    // A bad template writes nothing: no folder made, no old list replaced.
    void printerRefusesBadTemplates()
    {
        QTemporaryDir dir;
        const QString templatePath = dir.filePath("mhzdsw.xltx");
        const QString oldPath = dir.filePath("旧清单.xlsx");
        QVERIFY(writeFile(oldPath, "old"));
        platform::OoxmlSpreadsheetPrinter printer(
            [](const QString&, std::function<void(bool)> done) { done(true); });
        const char* const broken = "表格模板已损坏，无法使用：";
        for (const auto& [content, message] : {std::pair(QByteArray(), "找不到表格模板："),
                                               {QByteArray("这不是表格"), broken},
                                               {QByteArray(""), broken}}) {
            QVERIFY(content.isNull() || writeFile(templatePath, content));
            for (const QString& savePath : {dir.filePath("新文件夹/清单.xlsx"), oldPath})
                QCOMPARE(printer.print(templatePath, {"一行"}, savePath), message + templatePath);
        }
        QVERIFY(!QDir(dir.filePath("新文件夹")).exists());
        QCOMPARE(readFile(oldPath), QByteArray("old"));
    }
};

QTEST_MAIN(TestPlatform)
#include "TestPlatform.moc"
