#pragma once

#include "platform/Dialogs.h"
#include "recordbook/FieldBindings.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QListView;

namespace store {
class Connection;
class Recordset;
class StoreError;
} // namespace store

namespace recordbook {

class ListModel;

// What a record book needs from the program: the book, the dialogs, the
// guard that keeps a failure from travelling through Qt's signal dispatch
// and the Chinese words for a failure of the book.
struct BookServices {
    store::Connection& connection;
    platform::Dialogs& dialogs;
    std::function<void(const std::function<void()>&)> guarded;
    std::function<QString(const store::StoreError&)> failureText;
};

// The services of a context that offers them under these names (the
// program's shared context, or a test's).
template <typename Context> BookServices servicesOf(Context& context)
{
    return {context.dbConnection(), *context.services().dialogs,
            [&context](const std::function<void()>& run) { context.guarded(run); },
            [&context](const store::StoreError& error) { return context.failureText(error); }};
}

// Message shown when a command needs the selected record and no line is selected.
inline const QString kSelectFirstText = QStringLiteral("请先在列表中选中一条信息");
inline const QString kSelectFirstTitle = QStringLiteral("提示");
// The delete command's texts, alike in every list window.
inline const QString kNoRecordText = QStringLiteral("已经没有一条事务信息了！");
inline const QString kDeleteQuestion = QStringLiteral("删除该条信息吗?");
inline const QString kWarningTitle = QStringLiteral("警告");
inline const QString kDeleteTitle = kWarningTitle;

// A message a command says when done; nothing when the text is empty.
struct Notice {
    QString text;
    QString title;
    platform::Icon icon = platform::Icon::None;
};

// The steps of Add or Modify that a window makes its own, in the order they run.
struct EditSteps {
    // Before anything is written (on Modify, once a line is selected): true
    // stops the command, the hook having said why.
    std::function<bool()> refused;
    // Once the record is stored: the window's refresh. `line` is the
    // modified line; -1 on Add.
    std::function<void(int line)> written;
    Notice done;                        // said after `written`
    std::function<void(int line)> said; // after `done`
};

// The steps of loading a selected line that a window makes its own.
struct LoadSteps {
    std::function<void(int line)> before; // before the line's record is looked for
    std::function<void(int line)> after;  // once its record is in the boxes
};

// What one list window's book is: its table, columns, statements, boxes,
// what its commands say and the steps that are the window's own. The record
// book runs the shared flows from it; the window keeps only what is its own.
struct BookDescriptor {
    QString table;
    QString listColumn;    // what each line shows
    QString searchColumn;  // where both searches look
    QString keywordColumn; // what the keyword overview lists
    QString allRows;       // the statement of the whole book
    QString searchHead;    // the searches' statement up to the column, spaced as written
    FieldBindings fields;  // the boxes and the columns behind them
    QString addRows;       // reopened before Add; empty: Add works on the cursor as it is
    // When set, a new record the book refuses is rolled back and reported
    // after this text, and Add goes on; otherwise the failure ends the command.
    QString addRefusedHead;
    EditSteps add;
    EditSteps modify;
    LoadSteps load;
    Notice deleted; // said after a delete
};

// One window's cursor and the list that shows it: line n of the list stands
// for record n + 1 of the cursor. "The selected line" is the selection
// model's selected row, never the current row.
class RecordBookController : public QObject {
    Q_OBJECT
public:
    // Works on a cursor slot kept elsewhere (the shared affairCursor).
    RecordBookController(BookServices services, BookDescriptor book,
                         std::unique_ptr<store::Recordset>& slot, QListView* list,
                         QObject* parent = nullptr);
    // Owns its cursor.
    RecordBookController(BookServices services, BookDescriptor book, QListView* list,
                         QObject* parent = nullptr);

    const BookDescriptor& descriptor() const { return m_book; }
    ~RecordBookController() override;

    // The cursor; call only while one is open (after reopen()).
    store::Recordset& cursor() const;
    bool hasCursor() const;
    // Replaces the cursor by one opened on `sql`. The list keeps its lines.
    void reopen(const QString& sql); // throws store::StoreError
    // Closes and releases the cursor; the list keeps no reference to it.
    void closeCursor();

    // One line per record of the cursor, then the cursor on its first
    // record. Nothing is selected.
    void fillList();
    // Removes every line.
    void clearList();
    int lineCount() const;

    // Moves the cursor to the record of `line` and answers true; when there
    // is no such record, moves to the first record and answers false.
    bool recordForLine(int line);

    int selectedLine() const; // -1 when no line is selected
    // Selects `line` from code, scrolls to it and runs the load handler
    // before returning, as a click would. Out of range: nothing happens.
    void selectLine(int line);
    // True when a line is selected; otherwise tells the user to select one
    // first ("请先在列表中选中一条信息", "提示") and answers false.
    bool requireSelection();
    // Leaves no line selected, so that a click on the line that was selected
    // loads it again; loads nothing itself.
    void clearSelection();

    // The flows every list window shares, run from the descriptor.
    // Reopens the cursor on the whole book.
    void reopenAll();
    // Reopens the cursor on the records whose search column holds the box's
    // text (searchText) as one piece, or any of its first six characters.
    void searchSubstring(const QString& boxText);
    void searchAnyChar(const QString& boxText);
    // The keyword overview of the whole table, read on a cursor of its own.
    QString keywordOverview() const;
    // With no record: the warning; without a selected line: the request to
    // select one; then the question, always with the question icon. True
    // when the user said yes: the cursor is then on the line's record.
    bool confirmDelete();
    // confirmDelete(), then the record goes, `refresh` runs and the
    // descriptor's `deleted` is said. False when nothing was deleted.
    bool deleteSelected(const std::function<void()>& refresh);
    // load.before; a line without a record stops here; the boxes emptied and
    // filled from the line's record; load.after.
    void loadLine(int line);
    // add.refused; addRows reopened; a new record from the boxes stored;
    // add.written, add.done, add.said. False when refused.
    bool addRecord();
    // The selection asked for; modify.refused; the selected line's record
    // rewritten from the boxes and stored (a line without a record: nothing
    // is written); modify.written, modify.done, modify.said.
    bool modifySelected();
    // Empties every bound box.
    void clearBoxes() const;
    const FieldBindings& fields() const { return m_book.fields; }

    // Runs on every selection of a line, by the user or by selectLine(),
    // inside the context's failure guard; loadLine() unless set.
    void setLoadHandler(std::function<void(int line)> handler);

    ListModel& model() const { return *m_model; }
    QListView& list() const { return *m_list; }

signals:
    // A double-click on a line; the line is selected and loaded by then.
    void lineDoubleClicked(int line);

private:
    void connectList();
    void say(const Notice& notice) const;
    void finish(const EditSteps& steps, int line) const;
    void storeAdded();

    BookServices m_services;
    BookDescriptor m_book;
    std::unique_ptr<store::Recordset> m_own;
    std::unique_ptr<store::Recordset>& m_slot;
    QListView* m_list;
    ListModel* m_model;
    std::function<void(int)> m_load;
    bool m_selectingFromCode = false;
    bool m_filtered = false; // the cursor's statement selects rows
};

} // namespace recordbook
