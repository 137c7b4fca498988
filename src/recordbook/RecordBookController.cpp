#include "recordbook/RecordBookController.h"

#include "core/SearchStatements.h"
#include "platform/Dialogs.h"
#include "recordbook/ListModel.h"
#include "recordbook/ListStatus.h"
#include "store/Connection.h"
#include "store/Recordset.h"
#include "store/StoreError.h"

#include <QListView>
#include <QRegularExpression>
#include <QScopeGuard>

namespace recordbook {

RecordBookController::RecordBookController(BookServices services, BookDescriptor book,
                                           std::unique_ptr<store::Recordset>& slot, QListView* list,
                                           QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_book(std::move(book)), m_slot(slot),
      m_list(list), m_model(new ListModel(m_book.listColumn, this))
{
    connectList();
}

RecordBookController::RecordBookController(BookServices services, BookDescriptor book,
                                           QListView* list, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_book(std::move(book)), m_slot(m_own),
      m_list(list), m_model(new ListModel(m_book.listColumn, this))
{
    connectList();
}

RecordBookController::~RecordBookController()
{
    // The list may outlive this controller for a moment while the window closes.
    m_model->retarget(nullptr);
}

void RecordBookController::connectList()
{
    m_load = [this](int line) { loadLine(line); };
    reserveListStatus(*m_list->window());
    m_list->setModel(m_model);
    m_model->retarget(m_slot.get());
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_selectingFromCode || !m_load) return;
        const int line = selectedLine();
        if (line >= 0) m_services.guarded([this, line] { m_load(line); });
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit lineDoubleClicked(index.row()); });
}

store::Recordset& RecordBookController::cursor() const
{
    return *m_slot;
}

bool RecordBookController::hasCursor() const
{
    return m_slot && m_slot->isOpen();
}

void RecordBookController::reopen(const QString& sql)
{
    // The old snapshot goes first, so two full copies of a large book never
    // live side by side; but only once the book can be read, so that a busy
    // book leaves the cursor as it was.
    store::Connection& db = m_services.connection;
    const bool reading = db.beginReading();
    const auto endReading = qScopeGuard([&] {
        if (reading) db.endReading();
    });
    m_model->retarget(nullptr);
    m_slot.reset();
    m_slot = std::make_unique<store::Recordset>(sql, db);
    m_model->retarget(m_slot.get());
    static const QRegularExpression where(QStringLiteral("\\bwhere\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    m_filtered = sql.contains(where);
}

void RecordBookController::closeCursor()
{
    m_model->retarget(nullptr);
    if (m_slot) m_slot->close();
    m_slot.reset();
}

void RecordBookController::fillList()
{
    m_model->setCursor(m_slot.get());
    if (hasCursor() && cursor().recordCount() >= 1) cursor().moveFirst();
    showListStatus(*m_list->window(), listStatusText(lineCount(), m_filtered));
}

void RecordBookController::clearList()
{
    m_model->clear();
}

int RecordBookController::lineCount() const
{
    return m_model->rowCount();
}

bool RecordBookController::recordForLine(int line)
{
    store::Recordset& c = cursor();
    if (line >= 0 && line < c.recordCount()) {
        c.setAbsolutePosition(line + 1);
        return true;
    }
    c.moveFirst();
    return false;
}

int RecordBookController::selectedLine() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void RecordBookController::selectLine(int line)
{
    if (line < 0 || line >= m_model->rowCount()) return;
    const QModelIndex index = m_model->index(line);
    m_selectingFromCode = true;
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_selectingFromCode = false;
    m_list->scrollTo(index);
    if (m_load) m_load(line);
}

bool RecordBookController::requireSelection()
{
    if (selectedLine() >= 0) return true;
    m_services.dialogs.message(kSelectFirstText, kSelectFirstTitle, platform::Buttons::Ok,
                               platform::Icon::Information);
    return false;
}

void RecordBookController::reopenAll()
{
    reopen(m_book.allRows);
}

void RecordBookController::searchSubstring(const QString& boxText)
{
    reopen(core::substringStatement(m_book.searchHead, m_book.searchColumn,
                                    core::searchText(boxText)));
}

void RecordBookController::searchAnyChar(const QString& boxText)
{
    reopen(
        core::anyCharStatement(m_book.searchHead, m_book.searchColumn, core::searchText(boxText)));
}

QString RecordBookController::keywordOverview() const
{
    store::Recordset keywords(core::distinctStatement(m_book.table, m_book.keywordColumn),
                              m_services.connection);
    return core::keywordOverview(keywords);
}

bool RecordBookController::confirmDelete()
{
    if (!hasCursor() || cursor().recordCount() == 0) {
        m_services.dialogs.message(kNoRecordText, kDeleteTitle, platform::Buttons::Ok,
                                   platform::Icon::Warning);
        return false;
    }
    if (!requireSelection() || !recordForLine(selectedLine())) return false;
    return m_services.dialogs.message(kDeleteQuestion, kDeleteTitle,
                                      platform::Buttons::YesNoDefaultNo,
                                      platform::Icon::Question) == platform::Answer::Yes;
}

bool RecordBookController::deleteSelected(const std::function<void()>& refresh)
{
    if (!confirmDelete()) return false;
    cursor().deleteCurrent();
    refresh();
    say(m_book.deleted);
    return true;
}

void RecordBookController::say(const Notice& notice) const
{
    if (!notice.text.isEmpty())
        m_services.dialogs.message(notice.text, notice.title, platform::Buttons::Ok, notice.icon);
}

void RecordBookController::finish(const EditSteps& steps, int line) const
{
    if (steps.written) steps.written(line);
    say(steps.done);
    if (steps.said) steps.said(line);
}

void RecordBookController::loadLine(int line)
{
    if (m_book.load.before) m_book.load.before(line);
    if (!hasCursor() || !recordForLine(line)) return;
    m_book.fields.clearBoxes();
    m_book.fields.fillBoxes(cursor());
    if (m_book.load.after) m_book.load.after(line);
}

void RecordBookController::storeAdded()
{
    // Stored before the window empties its boxes: a refusal leaves them as typed.
    store::Connection& db = m_services.connection;
    if (m_book.addRefusedHead.isEmpty()) {
        cursor().update();
        db.commitSoFar();
        return;
    }
    try {
        cursor().update();
        db.commitSoFar();
    } catch (const store::StoreError& error) {
        db.rollbackSoFar();
        m_services.dialogs.message(m_book.addRefusedHead + m_services.failureText(error),
                                   kWarningTitle, platform::Buttons::Ok, platform::Icon::Warning);
    }
}

bool RecordBookController::addRecord()
{
    if (m_book.add.refused && m_book.add.refused()) return false;
    if (!m_book.addRows.isEmpty()) reopen(m_book.addRows);
    cursor().addNew();
    m_book.fields.collect(cursor(), Mode::Add);
    storeAdded();
    finish(m_book.add, -1);
    return true;
}

bool RecordBookController::modifySelected()
{
    // Without a selected line the boxes belong to no record: say so rather
    // than drop the user's edits silently.
    if (!requireSelection()) return false;
    const int line = selectedLine();
    if (m_book.modify.refused && m_book.modify.refused()) return false;
    if (recordForLine(line)) {
        m_book.fields.collect(cursor(), Mode::Modify);
        cursor().update();
        m_services.connection.commitSoFar();
    }
    finish(m_book.modify, line);
    return true;
}

void RecordBookController::clearBoxes() const
{
    m_book.fields.clearBoxes();
}

void RecordBookController::clearSelection()
{
    m_selectingFromCode = true;
    m_list->selectionModel()->clearSelection();
    m_selectingFromCode = false;
}

void RecordBookController::setLoadHandler(std::function<void(int)> handler)
{
    m_load = std::move(handler);
}

} // namespace recordbook
