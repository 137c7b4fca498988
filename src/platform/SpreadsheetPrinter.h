#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// Fills column B of a spreadsheet template's first sheet from row 4 down,
// saves the copy and shows it. Returns an empty string on success, else a
// Chinese error text. Finding a program to show it may take seconds: when
// none shows it, notShown says so later, naming where the file was saved.
class SpreadsheetPrinter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SpreadsheetPrinter() override = default;
    virtual QString print(const QString& templatePath, const QStringList& lines,
                          const QString& savePath) = 0;

signals:
    void notShown(const QString& message);
};

// Works on Office Open XML files (.xltx/.xlsx) and shows the result with the
// user's spreadsheet program.
class OoxmlSpreadsheetPrinter : public SpreadsheetPrinter {
public:
    // Shows a saved file, then calls `done` with false when nothing could show it.
    using Opener = std::function<void(const QString& path, std::function<void(bool shown)> done)>;

    explicit OoxmlSpreadsheetPrinter(Opener opener = {});
    QString print(const QString& templatePath, const QStringList& lines,
                  const QString& savePath) override;

    // The filling alone: writes savePath, or returns a Chinese error text and
    // leaves savePath as it was.
    static QString fill(const QString& templatePath, const QStringList& lines,
                        const QString& savePath);

private:
    Opener opener_;
};

} // namespace platform
