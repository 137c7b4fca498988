#include "recordbook/RecordBookController.h"

#include "platform/Dialogs.h"
#include "recordbook/ListModel.h"
#include "recordbook/ListStatus.h"
#include "store/Connection.h"
#include "store/Recordset.h"

#include <QListView>
#include <QRegularExpression>
#include <QScopeGuard>

namespace recordbook {

RecordBookController::RecordBookController(BookServices services,
                                           std::unique_ptr<store::Recordset>& slot, QListView* list,
                                           const QString& column, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_slot(slot), m_list(list),
      m_model(new ListModel(column, this))
{
    connectList();
}

RecordBookController::RecordBookController(BookServices services, QListView* list,
                                           const QString& column, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_slot(m_own), m_list(list),
      m_model(new ListModel(column, this))
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

void RecordBookController::setLoadHandler(std::function<void(int)> handler)
{
    m_load = std::move(handler);
}

} // namespace recordbook
