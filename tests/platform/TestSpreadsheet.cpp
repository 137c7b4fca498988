#include "SheetReader.h"
#include "TestPlatform.h"

#include "platform/OoxmlSheet.h"
#include "platform/SpreadsheetPrinter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <xlsxwriter.h>

#include <optional>

namespace {

const QByteArray kTemplateType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
const QByteArray kWorkbookType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";

QByteArray worksheet(const QString& cols, const QString& rows)
{
    return QStringLiteral(
               R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
               "\n"
               R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
               R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
               R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
               R"(mc:Ignorable="x14ac" )"
               R"(xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac">)"
               R"(<dimension ref="A1:C2"/>%1<sheetData>%2</sheetData>)"
               R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75"/></worksheet>)")
        .arg(cols, rows)
        .toUtf8();
}

QString dimension(const QByteArray& xml)
{
    const auto m = QRegularExpression(R"(<dimension ref="([^"]*)\")").match(QString::fromUtf8(xml));
    return m.captured(1);
}

bool ascending(const QList<int>& rows)
{
    for (qsizetype i = 1; i < rows.size(); ++i)
        if (rows[i] <= rows[i - 1])
            return false;
    return true;
}

// A template as the build makes them: title, heading, wrapping column B, and
// the template content type.
bool makeTemplate(const QString& path)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    if (!book)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "清单");
    lxw_format* wrap = workbook_add_format(book);
    format_set_text_wrap(wrap);
    worksheet_set_column(sheet, 1, 1, 90, wrap);
    worksheet_write_string(sheet, 0, 0, "测试标题", nullptr);
    worksheet_write_string(sheet, 1, 1, "内容", nullptr);
    worksheet_write_string(sheet, 4, 2, "右边", nullptr);
    workbook_add_worksheet(book, "第二页");
    if (workbook_close(book) != LXW_NO_ERROR)
        return false;
    QByteArray types = zipEntry(path, "[Content_Types].xml");
    return types.contains(kWorkbookType) &&
           replaceZipEntry(path, "[Content_Types].xml",
                           types.replace(kWorkbookType, kTemplateType));
}

} // namespace

void TestPlatform::sheetFill_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("values"); // every cell, "B4=text"
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("styles");
    QTest::addColumn<QString>("dimension");

    QTest::newRow("empty sheet") << worksheet("", "") << QStringList{"a", "", "c"}
                                 << QStringList{"B4=a", "B6=c"} << QList<int>{4, 6} << QStringList{}
                                 << "A1:C6";
    QTest::newRow("between rows")
        << worksheet("",
                     R"(<row r="1"><c r="A1" t="inlineStr"><is><t>T</t></is></c></row>)"
                     R"(<row r="5" spans="1:3"><c r="A5"><v>1</v></c><c r="C5"><v>3</v></c></row>)"
                     R"(<row r="9"><c r="B9"><v>9</v></c></row>)")
        << QStringList{"x", "y"} << QStringList{"A1=T", "A5=1", "B4=x", "B5=y", "B9=9", "C5=3"}
        << QList<int>{1, 4, 5, 9} << QStringList{} << "A1:C5";
    QTest::newRow("replaces cell, keeps look")
        << worksheet("", R"(<row r="4"><c r="B4" s="3" t="s"><v>0</v></c></row>)")
        << QStringList{"new"} << QStringList{"B4=new"} << QList<int>{4} << QStringList{"B4=3"}
        << "A1:C4";
    QTest::newRow("column look")
        << worksheet(R"(<cols><col min="1" max="1" width="5"/>)"
                     R"(<col min="2" max="3" width="90" style="2" customWidth="1"/></cols>)",
                     "")
        << QStringList{"w"} << QStringList{"B4=w"} << QList<int>{4} << QStringList{"B4=2"}
        << "A1:C4";
    QTest::newRow("rows without numbers")
        << worksheet("", R"(<row><c r="A1"><v>1</v></c></row><row/><row/>)"
                         R"(<row><c r="A4"><v>4</v></c><c r="C4"><v>5</v></c></row>)")
        << QStringList{"x", "y"} << QStringList{"A1=1", "A4=4", "B4=x", "B5=y", "C4=5"}
        << QList<int>{0, 0, 0, 0, 5} << QStringList{} << "A1:C5";
    QTest::newRow("empty line clears")
        << worksheet("", R"(<row r="4"><c r="B4" s="1"><v>7</v></c></row>)") << QStringList{""}
        << QStringList{} << QList<int>{4} << QStringList{"B4=1"} << "A1:C2";
    QTest::newRow("texts kept") << worksheet("", "")
                                << QStringList{R"(<&> "x" ']]>)", "  两端空格  ",
                                               "a\x01"
                                               "b\x0b"}
                                << QStringList{R"(B4=<&> "x" ']]>)", "B5=  两端空格  ", "B6=ab"}
                                << QList<int>{4, 5, 6} << QStringList{} << "A1:C6";
}

void TestPlatform::sheetFill()
{
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, values);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, styles);
    QFETCH(QString, dimension);

    const std::optional<QByteArray> out = platform::ooxml::fillColumnB(xml, lines);
    QVERIFY(out);
    const SheetContent sheet = readSheet(*out);
    QVERIFY(sheet.valid);
    QStringList got;
    for (auto it = sheet.values.cbegin(); it != sheet.values.cend(); ++it)
        got << it.key() + '=' + it.value();
    QCOMPARE(got, values);
    QCOMPARE(sheet.rows, rows);
    for (const QString& s : styles)
        QCOMPARE(sheet.styles.value(s.section('=', 0, 0)), s.section('=', 1));
    QCOMPARE(::dimension(*out), dimension);
    // Prefixes named inside attribute values must survive the copy.
    QVERIFY(out->contains(R"(mc:Ignorable="x14ac")"));
    QVERIFY(out->contains(R"(xmlns:x14ac=")"));
    QVERIFY(out->contains(R"(<worksheet xmlns="http://schemas.openxmlformats.org/)"));
    QVERIFY(out->contains("<pageMargins "));
}

void TestPlatform::printerFillsTemplate()
{
    QTemporaryDir dir;
    const QString templatePath = dir.filePath("dy/mhxzsw.xltx");
    QVERIFY(QDir().mkpath(dir.filePath("dy")));
    QVERIFY(makeTemplate(templatePath));
    const QByteArray templateBytes = [&] {
        QFile f(templatePath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    QStringList opened;
    platform::OoxmlSpreadsheetPrinter printer([&opened](const QString& path) {
        opened << path;
        return true;
    });
    const QString savePath = dir.filePath("打印/选中事务打印清单.xlsx");
    QCOMPARE(
        printer.print(templatePath, {"旧的一行", "旧的二行", "旧的三行", "旧的四行"}, savePath),
        QString());
    QCOMPARE(printer.print(templatePath, {"第一行：买菜", "<&>", "  末行  "}, savePath), QString());
    QCOMPARE(opened, QStringList(2, savePath));

    const Workbook book = readWorkbook(savePath);
    QVERIFY(book.valid);
    QVERIFY(book.contentTypes.contains(kWorkbookType));
    QVERIFY(!book.contentTypes.contains(kTemplateType));
    const auto& cells = book.firstSheet.values;
    QCOMPARE(cells.value("A1"), QStringLiteral("测试标题"));
    QCOMPARE(cells.value("B2"), QStringLiteral("内容"));
    QCOMPARE(cells.value("B4"), QStringLiteral("第一行：买菜"));
    QCOMPARE(cells.value("B5"), QStringLiteral("<&>"));
    QCOMPARE(cells.value("C5"), QStringLiteral("右边"));
    QCOMPARE(cells.value("B6"), QStringLiteral("  末行  "));
    QVERIFY(!cells.contains("B7")); // nothing left of the earlier, longer list
    QVERIFY(ascending(book.firstSheet.rows));
    // The wrapping of column B reaches the written cells.
    QVERIFY(!book.firstSheet.styles.value("B4").isEmpty());
    QCOMPARE(book.firstSheet.styles.value("B4"), book.firstSheet.styles.value("B6"));
    // The second sheet is untouched.
    QVERIFY(!zipEntry(savePath, "xl/worksheets/sheet2.xml").contains("inlineStr"));

    QFile again(templatePath);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), templateBytes);
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
    if (!content.isNull()) {
        QFile file(templatePath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    int opened = 0;
    platform::OoxmlSpreadsheetPrinter printer([&opened](const QString&) { return ++opened > 0; });

    const QString freshPath = dir.filePath("新文件夹/清单.xlsx");
    QCOMPARE(printer.print(templatePath, {"一行"}, freshPath), messageStart + templatePath);
    QVERIFY(!QDir(dir.filePath("新文件夹")).exists());

    const QString oldPath = dir.filePath("旧清单.xlsx");
    QFile old(oldPath);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QCOMPARE(printer.print(templatePath, {"一行"}, oldPath), messageStart + templatePath);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    QCOMPARE(opened, 0);
}

void TestPlatform::printerSaysWhereFileIs()
{
    QTemporaryDir dir;
    const QString templatePath = dir.filePath("mhqbsw.xltx");
    QVERIFY(makeTemplate(templatePath));
    platform::OoxmlSpreadsheetPrinter printer([](const QString&) { return false; });
    const QString savePath = dir.filePath("所有重要事务打印清单.xlsx");
    const QString message = printer.print(templatePath, {"一行"}, savePath);
    QVERIFY2(message.contains(savePath), qPrintable(message));
    QCOMPARE(readWorkbook(savePath).firstSheet.values.value("B4"), QStringLiteral("一行"));
}
