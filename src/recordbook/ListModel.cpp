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

void ListModel::setCursor(const store::Recordset* cursor, const std::function<bool(int)>& shown)
{
    beginResetModel();
    m_cursor = cursor;
    m_records.clear();
    m_lines = 0;
    if (cursor && cursor->isOpen()) {
        if (shown) {
            for (int i = 0; i < cursor->recordCount(); ++i)
                if (shown(i)) m_records.push_back(i);
            m_lines = int(m_records.size());
        } else {
            m_lines = cursor->recordCount();
        }
    }
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
    m_records.clear();
    endResetModel();
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_lines;
}

int ListModel::recordOf(int line) const
{
    return m_records.empty() ? line : m_records[size_t(line)];
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines) return {};
    if (!m_cursor || !m_cursor->isOpen()) return QString();
    const int record = recordOf(index.row());
    const int column = m_cursor->columnIndex(m_column);
    if (column < 0 || record >= m_cursor->recordCount()) return QString();
    // Only the start of a huge text is read: the line shows no more anyway.
    const QByteArrayView stored = m_cursor->stored(record, column);
    return lineText(QString::fromUtf8(stored.first(std::min<qsizetype>(stored.size(), kLineBytes))))
        .left(kLineCharacters);
}

} // namespace recordbook
