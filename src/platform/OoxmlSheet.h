#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The XML side of filling a spreadsheet package; the zip side is the printer's.
namespace platform::ooxml {

// The worksheet part ("xl/worksheets/sheet1.xml") that the workbook lists
// first, or an empty string when the workbook parts cannot tell.
QString firstSheetPart(const QByteArray& workbookXml, const QByteArray& workbookRelsXml);

// The worksheet with lines[i] in cell B(4 + i) as inline text; every other
// cell, row and element is kept. Nothing when the XML is not a worksheet.
std::optional<QByteArray> fillColumnB(const QByteArray& sheetXml, const QStringList& lines);

// A template's package declares a template workbook; a saved copy must
// declare an ordinary one, or spreadsheet programs refuse the .xlsx.
QByteArray templateToWorkbook(const QByteArray& contentTypesXml);

} // namespace platform::ooxml
