#include "reminders/AffairListModel.h"

#include "reminders/AffairText.h"
#include "store/Recordset.h"

namespace reminders {

AffairListModel::AffairListModel(const std::unique_ptr<store::Recordset>& cursorSlot,
                                 QObject* parent)
    : QAbstractListModel(parent), m_slot(cursorSlot)
{
}

void AffairListModel::fill()
{
    beginResetModel();
    m_rows = m_slot ? m_slot->recordCount() : 0;
    endResetModel();
}

void AffairListModel::clear()
{
    beginResetModel();
    m_rows = 0;
    endResetModel();
}

int AffairListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant AffairListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows) return {};
    const store::Recordset* cursor = m_slot.get();
    if (!cursor || !cursor->isOpen() || index.row() >= cursor->recordCount()) return QString();
    const int column = cursor->columnIndex(QStringLiteral("要事"));
    if (column < 0) return QString();
    return listLineText(cursor->rowText(index.row(), column));
}

} // namespace reminders
