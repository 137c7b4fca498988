#include "recordbook/RecordList.h"

#include <QMouseEvent>

namespace recordbook {

RecordList::RecordList(QWidget* parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void RecordList::mousePressEvent(QMouseEvent* event)
{
    // Qt would clear the selection here while the boxes still show the record.
    m_pressedBelowLines = !indexAt(event->position().toPoint()).isValid();
    if (m_pressedBelowLines) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void RecordList::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedBelowLines && (event->buttons() & Qt::LeftButton)) {
        event->accept();
        return;
    }
    QListView::mouseMoveEvent(event);
}

void RecordList::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressedBelowLines) {
        m_pressedBelowLines = false;
        event->accept();
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void RecordList::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        event->accept();
        return;
    }
    if (!selectionModel()->isSelected(index))
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    QListView::mouseDoubleClickEvent(event);
}

} // namespace recordbook
