#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QListView;

namespace platform {
class Dialogs;
}
namespace store {
class Connection;
class Recordset;
} // namespace store

namespace recordbook {

class ListModel;

// What a record book needs from the program: the book, the dialogs and the
// guard that keeps a failure from travelling through Qt's signal dispatch.
struct BookServices {
    store::Connection& connection;
    platform::Dialogs& dialogs;
    std::function<void(const std::function<void()>&)> guarded;
};

// The services of a context that offers them under these names (the
// program's shared context, or a test's).
template <typename Context> BookServices servicesOf(Context& context)
{
    return {context.dbConnection(), *context.services().dialogs,
            [&context](const std::function<void()>& run) { context.guarded(run); }};
}

// Message shown when a command needs the selected record and no line is selected.
inline const QString kSelectFirstText = QStringLiteral("请先在列表中选中一条信息");
inline const QString kSelectFirstTitle = QStringLiteral("提示");

// One window's cursor and the list that shows it: line n of the list stands
// for record n + 1 of the cursor. "The selected line" is the selection
// model's selected row, never the current row.
class RecordBookController : public QObject {
    Q_OBJECT
public:
    // Works on a cursor slot kept elsewhere (the shared affairCursor).
    RecordBookController(BookServices services, std::unique_ptr<store::Recordset>& slot,
                         QListView* list, const QString& column, QObject* parent = nullptr);
    // Owns its cursor.
    RecordBookController(BookServices services, QListView* list, const QString& column,
                         QObject* parent = nullptr);
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

    // Runs on every selection of a line, by the user or by selectLine(),
    // inside the context's failure guard.
    void setLoadHandler(std::function<void(int line)> handler);

    ListModel& model() const { return *m_model; }
    QListView& list() const { return *m_list; }

signals:
    // A double-click on a line; the line is selected and loaded by then.
    void lineDoubleClicked(int line);

private:
    void connectList();

    BookServices m_services;
    std::unique_ptr<store::Recordset> m_own;
    std::unique_ptr<store::Recordset>& m_slot;
    QListView* m_list;
    ListModel* m_model;
    std::function<void(int)> m_load;
    bool m_selectingFromCode = false;
    bool m_filtered = false; // the cursor's statement selects rows
};

} // namespace recordbook
