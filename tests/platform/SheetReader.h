#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// Reads worksheets back the way a spreadsheet program would, independently
// of the code that wrote them.
struct SheetContent {
    bool valid = false;            // well-formed XML
    QList<int> rows;               // row numbers in document order
    QMap<QString, QString> values; // "B4" -> text
    QMap<QString, QString> styles; // "B4" -> style index
};

SheetContent readSheet(const QByteArray& xml, const QList<QString>& sharedStrings = {});

// The first worksheet of an .xlsx/.xltx file and its content types part;
// valid is false when the package cannot be read.
struct Workbook {
    bool valid = false;
    SheetContent firstSheet;
    QByteArray contentTypes;
};

Workbook readWorkbook(const QString& path);
QByteArray zipEntry(const QString& path, const QString& name);
bool replaceZipEntry(const QString& path, const QString& name, const QByteArray& bytes);
