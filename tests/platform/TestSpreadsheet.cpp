#include "TestPlatform.h"

#include "platform/OoxmlSheet.h"
#include "platform/SpreadsheetPrinter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "ZipEntry.h"

namespace {

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

void TestPlatform::sheetFill()
{
    const QByteArray xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
        R"(mc:Ignorable="x14ac" )"
        R"(xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac">)"
        R"(<cols><col min="2" max="3" width="90" style="2" customWidth="1"/></cols><sheetData>)"
        R"(<row r="1"><c r="A1" t="inlineStr"><is><t>T</t></is></c></row>)"
        R"(<row r="4"><c r="B4" s="3" t="s"><v>0</v></c></row>)"
        R"(<row r="5" spans="1:3"><c r="A5"><v>1</v></c><c r="B5" s="1"><v>7</v></c>)"
        R"(<c r="C5"><v>3</v></c></row><row r="9"><c r="B9"><v>9</v></c></row></sheetData>)"
        R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75"/></worksheet>)";
    // Replaced cells keep their look, an empty line clears one, new cells take
    // column B's look, and rows stay in order.
    const auto out = platform::ooxml::fillColumnB(xml, {"new", "", "x", "y", ""});
    QVERIFY(out);
    QCOMPARE(readSheet(*out), (QStringList{"#1", "A1=T", "#4", "B4:3=new", "#5", "A5=1", "B5:1=",
                                           "C5=3", "#6", "B6:2=x", "#7", "B7:2=y", "#9", "B9=9"}));
    // Prefixes named inside attribute values must survive the copy.
    QVERIFY(out->contains(R"(mc:Ignorable="x14ac")") && out->contains(R"(xmlns:x14ac=")"));
    QVERIFY(out->contains("<pageMargins "));
}

void TestPlatform::printerFillsTemplate()
{
    QTemporaryDir dir;
    const QString templatePath = dir.filePath("mhxzsw.xltx");
    QVERIFY(QFile::copy(LUMO_TEMPLATE_DIR "/mhxzsw.xltx", templatePath));
    const QByteArray templateBytes = readFile(templatePath);
    QStringList opened;
    // The second time no spreadsheet program opens the file.
    platform::OoxmlSpreadsheetPrinter printer([&opened](const QString& path) {
        opened << path;
        return opened.size() < 2;
    });
    const QString savePath = dir.filePath("打印/选中事务打印清单.xlsx");
    QCOMPARE(printer.print(templatePath, {"旧一", "旧二", "旧三", "旧四"}, savePath), QString());
    // XML cannot carry most control characters; the cell loses them, not the sheet.
    QCOMPARE(printer.print(templatePath, {"买菜", "  末\x01行  "}, savePath),
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
    QCOMPARE(readFile(templatePath), templateBytes);
}

void TestPlatform::printerRefusesBadTemplates_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no template at all
    QTest::addColumn<QString>("messageStart");

    QTest::newRow("missing") << QByteArray() << "找不到表格模板：";
    QTest::newRow("not a zip") << QByteArray("这不是表格") << "表格模板已损坏，无法使用：";
    QTest::newRow("empty") << QByteArray("") << "表格模板已损坏，无法使用：";
}

void TestPlatform::printerRefusesBadTemplates()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, messageStart);
    QTemporaryDir dir;
    const QString templatePath = dir.filePath("mhzdsw.xltx");
    QVERIFY(content.isNull() || writeFile(templatePath, content));
    const QString oldPath = dir.filePath("旧清单.xlsx");
    QVERIFY(writeFile(oldPath, "old"));
    platform::OoxmlSpreadsheetPrinter printer([](const QString&) { return true; });

    for (const QString& savePath : {dir.filePath("新文件夹/清单.xlsx"), oldPath})
        QCOMPARE(printer.print(templatePath, {"一行"}, savePath), messageStart + templatePath);
    QVERIFY(!QDir(dir.filePath("新文件夹")).exists());
    QCOMPARE(readFile(oldPath), QByteArray("old"));
}
