#pragma once

#include <QObject>
#include <QString>

namespace shell {
class AppContext;
}

namespace reminders {

class AffairEditor;
class AffairSearch;
class Housekeeping;

// One of the three printed lists: its text file in wbwj/, its template in
// dy/ and the title its workbook carries.
struct PrintedList {
    QString textFile;
    QString templateFile;
    QString title;
};
extern const PrintedList kSelectedList;
extern const PrintedList kDueList;
extern const PrintedList kAllList;

// Printing through spreadsheet templates: the list is put into affairBox,
// written unchanged into its text file, read back line by line into column
// B of the template's first sheet from row 4, saved as a new workbook and
// shown in the user's spreadsheet program.
class ListPrinting : public QObject {
    Q_OBJECT
public:
    ListPrinting(shell::AppContext& context, AffairEditor& editor, AffairSearch& search,
                 Housekeeping& housekeeping, QObject* parent = nullptr);

    void printSelected();
    void printDueList();
    void printAll();
    // Replaces the list's text file with an empty one; false (reported) when
    // it cannot.
    bool recreateTextFile(const PrintedList& list);

    QString textFilePath(const PrintedList& list) const;

private:
    void print(const PrintedList& list);
    // A name no earlier print used, so an open workbook is never overwritten.
    QString newWorkbookPath(const PrintedList& list) const;
    void report(const QString& text) const;

    shell::AppContext& m_context;
    AffairEditor& m_editor;
    AffairSearch& m_search;
    Housekeeping& m_housekeeping;
};

} // namespace reminders
