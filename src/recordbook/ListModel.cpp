#include "recordbook/ListModel.h"

#include "store/Recordset.h"

#include <algorithm>

namespace recordbook {

namespace {
// A character takes at most four bytes; line breaks taken out leave room.
constexpr qsizetype kLineBytes = 8 * kLineCharacters;
} // namespace

QString lineText(const QString& stored)
{
    QString line = stored;
    line.remove(u'\r');
    line.remove(u'\n');
    return line;
}

ListModel::ListModel(QString column, QObject* parent)
    : QAbstractListModel(parent), m_column(std::move(column))
{
}

void ListModel::setCursor(const store::Recordset* cursor)
{
    beginResetModel();
    m_cursor = cursor;
    m_lines = cursor && cursor->isOpen() ? cursor->recordCount() : 0;
    endResetModel();
}

void ListModel::retarget(const store::Recordset* cursor)
{
    m_cursor = cursor;
    if (m_lines > 0) emit dataChanged(index(0), index(m_lines - 1), {Qt::DisplayRole});
}

void ListModel::clear()
{
    beginResetModel();
    m_lines = 0;
    endResetModel();
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_lines;
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines) return {};
    if (!m_cursor || !m_cursor->isOpen()) return QString();
    const int record = index.row();
    const int column = m_cursor->columnIndex(m_column);
    if (column < 0 || record >= m_cursor->recordCount()) return QString();
    // Only the start of a huge text is read: the line shows no more anyway.
    const QByteArrayView stored = m_cursor->stored(record, column);
    return lineText(QString::fromUtf8(stored.first(std::min<qsizetype>(stored.size(), kLineBytes))))
        .left(kLineCharacters);
}

} // namespace recordbook
