#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Fills column B of a spreadsheet template's first sheet from row 4 down,
// saves the copy and shows it. Returns an empty string on success, else a
// Chinese error text (which may just say where the file was saved).
class SpreadsheetPrinter {
public:
    virtual ~SpreadsheetPrinter() = default;
    virtual QString print(const QString& templatePath, const QStringList& lines,
                          const QString& savePath) = 0;
};

} // namespace platform
