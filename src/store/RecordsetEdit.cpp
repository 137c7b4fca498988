// Writing through a Recordset: AddNew, Collect, Update, Delete.
#include "Recordset.h"

#include "Connection.h"
#include "DateText.h"
#include "Statement.h"
#include "StoreError.h"

namespace store {

using detail::quotedIdentifier;

namespace {

QString changedElsewhere()
{
    return QStringLiteral("该记录已被他人修改或删除，本次操作没有保存");
}

bool isNullValue(const QVariant& value)
{
    return !value.isValid() || value.typeId() == QMetaType::Nullptr;
}

} // namespace

void Recordset::requireWritable() const
{
    if (!m_open) throw StoreError(QStringLiteral("记录集没有打开"));
    if (m_table.isEmpty())
        throw StoreError(QStringLiteral("该记录集是只读的，不能修改：%1").arg(m_sql));
    if (!m_connection || !m_connection->isOpen())
        throw StoreError(QStringLiteral("数据库连接没有打开"));
}

void Recordset::beginEdit()
{
    m_pending = QVector<QVariant>(m_columns.size());
    m_touched = QVector<bool>(m_columns.size(), false);
}

void Recordset::addNew()
{
    requireWritable();
    if (m_edit != Edit::None) update();
    beginEdit();
    m_edit = Edit::Adding;
}

void Recordset::collect(const QString& name, const QVariant& value)
{
    collect(requireColumn(name), value);
}

void Recordset::collect(int index, const QVariant& value)
{
    requireWritable();
    const int column = requireIndex(index);
    if (m_edit == Edit::None) {
        if (currentRow().deleted) throw StoreError(QStringLiteral("当前记录已被删除"));
        beginEdit();
        m_edit = Edit::Editing;
    }
    QVariant stored;
    try {
        stored = storable(column, value);
    } catch (const StoreError&) {
        cancelUpdate();
        throw;
    }
    m_pending[column] = stored;
    m_touched[column] = true;
}

// The value as it goes into the table: null or text, dates in ISO form.
QVariant Recordset::storable(int column, const QVariant& value) const
{
    if (isNullValue(value)) return QVariant();
    if (m_isDate[column]) {
        QDateTime date;
        if (value.typeId() == QMetaType::QDate)
            date = value.toDate().startOfDay(Qt::UTC);
        else if (value.typeId() == QMetaType::QDateTime)
            date = value.toDateTime();
        else if (const std::optional<QDateTime> parsed = parseDateText(value.toString()))
            date = *parsed;
        if (!date.isValid())
            throw StoreError(QStringLiteral("“%1”不是有效的日期（%2）")
                                 .arg(value.toString(), m_columns[column]));
        return toStoredDate(date);
    }
    if (value.typeId() == QMetaType::QDate) return shortDateText(value.toDate());
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime when = value.toDateTime();
        QString text = shortDateText(when.date());
        if (when.time() != QTime(0, 0)) text += when.time().toString(QStringLiteral(" H:mm:ss"));
        return text;
    }
    if (!value.canConvert<QString>())
        throw StoreError(QStringLiteral("不能把这个值写入“%1”列").arg(m_columns[column]));
    return value.toString();
}

void Recordset::cancelUpdate()
{
    m_edit = Edit::None;
    m_pending.clear();
    m_touched.clear();
}

void Recordset::finishEditBeforeMove()
{
    if (m_edit != Edit::None) update();
}

void Recordset::update()
{
    if (m_edit == Edit::None) return;
    try {
        requireWritable();
        if (m_edit == Edit::Adding)
            insertPending();
        else
            updatePending();
    } catch (const StoreError&) {
        cancelUpdate();
        throw;
    }
    cancelUpdate();
}

QString Recordset::columnList() const
{
    QStringList names;
    for (const QString& name : m_columns)
        names << quotedIdentifier(name);
    return names.join(QStringLiteral(", "));
}

// Replaces row `index` with what the table now holds; false when it is gone.
bool Recordset::rereadRow(int index, qint64 rowid)
{
    detail::Statement read(m_connection->handle(),
                           QStringLiteral("select %1 from %2 where _rowid_ = ?")
                               .arg(columnList(), quotedIdentifier(m_table)));
    read.bindInt64(1, rowid);
    if (!read.step()) return false;
    storeRow(index, rowid, read.get(), 0);
    return true;
}

void Recordset::insertPending()
{
    QStringList names;
    QStringList marks;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_touched[c]) {
            names << quotedIdentifier(m_columns[c]);
            marks << QStringLiteral("?");
        }
    }
    const QString table = quotedIdentifier(m_table);
    const QString sql = names.isEmpty() ? QStringLiteral("insert into %1 default values").arg(table)
                                        : QStringLiteral("insert into %1 (%2) values (%3)")
                                              .arg(table, names.join(QStringLiteral(", ")),
                                                   marks.join(QStringLiteral(", ")));
    aboutToChange();
    detail::Statement insert(m_connection->handle(), sql);
    int slot = 1;
    bindPending(insert, slot);
    insert.step();
    const qint64 rowid = sqlite3_last_insert_rowid(m_connection->handle());

    const int index = int(m_rows.size());
    m_rows.push_back(Row());
    bool found = false;
    try {
        found = rereadRow(index, rowid);
    } catch (...) {
        m_rows.pop_back();
        throw;
    }
    if (!found) {
        // Stored, but a trigger or another writer took it away at once.
        m_rows.pop_back();
        return;
    }
    ++m_liveCount;
    if (!m_liveDirty) m_live.push_back(index);
    m_pos = index;
}

// Names the row by its identity and by every value this cursor read, so a
// row changed or replaced meanwhile (row ids are reused) is never written.
void Recordset::bindPending(detail::Statement& statement, int& slot) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (!m_touched[c]) continue;
        if (m_pending[c].isNull())
            statement.bindNull(slot++);
        else
            statement.bindText(slot++, m_pending[c].toString().toUtf8());
    }
}

void Recordset::bindOriginal(detail::Statement& statement, int& slot, int row) const
{
    statement.bindInt64(slot++, m_rows[size_t(row)].rowid);
    for (int c = 0; c < m_columns.size(); ++c) {
        const Cell original = cell(row, c);
        if (original.text)
            statement.bindText(slot++, QByteArray::fromRawData(original.text, original.size));
        else
            statement.bindNull(slot++);
    }
}

QString Recordset::originalCondition() const
{
    QString where = QStringLiteral("_rowid_ = ?");
    for (const QString& name : m_columns)
        where +=
            QStringLiteral(" and cast(%1 as text) is ? collate binary").arg(quotedIdentifier(name));
    return where;
}

void Recordset::updatePending()
{
    if (currentRow().deleted) throw StoreError(QStringLiteral("当前记录已被删除"));
    QStringList sets;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_touched[c]) sets << quotedIdentifier(m_columns[c]) + QStringLiteral(" = ?");
    }
    if (sets.isEmpty()) return;
    aboutToChange();
    detail::Statement change(
        m_connection->handle(),
        QStringLiteral("update %1 set %2 where %3")
            .arg(quotedIdentifier(m_table), sets.join(QStringLiteral(", ")), originalCondition()));
    int slot = 1;
    bindPending(change, slot);
    bindOriginal(change, slot, m_pos);
    change.step();
    if (sqlite3_changes(m_connection->handle()) != 1) throw StoreError(changedElsewhere());
    if (!rereadRow(m_pos, m_rows[size_t(m_pos)].rowid)) markDeleted(m_pos);
}

void Recordset::markDeleted(int index)
{
    m_rows[size_t(index)].deleted = true;
    --m_liveCount;
    m_liveDirty = true;
}

void Recordset::deleteCurrent()
{
    requireWritable();
    if (m_edit == Edit::Adding) {
        cancelUpdate(); // the new row never existed
        return;
    }
    cancelUpdate();
    if (currentRow().deleted) throw StoreError(QStringLiteral("当前记录已被删除"));
    aboutToChange();
    detail::Statement remove(m_connection->handle(),
                             QStringLiteral("delete from %1 where %2")
                                 .arg(quotedIdentifier(m_table), originalCondition()));
    int slot = 1;
    bindOriginal(remove, slot, m_pos);
    remove.step();
    if (sqlite3_changes(m_connection->handle()) != 1) throw StoreError(changedElsewhere());
    markDeleted(m_pos);
}

} // namespace store
