#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace store {

class Connection;

// A static, scrollable, optimistic cursor over one query, as the windows
// expect of a record set: every row is read at open, so recordCount() is
// true and later statements do not change the snapshot. Values are null
// QVariants, QStrings, or QDateTimes for date columns.
class Recordset {
public:
    Recordset() = default;
    Recordset(const QString& sql, Connection& connection) { open(sql, connection); }

    void open(const QString& sql, Connection& connection); // throws StoreError
    void close();
    bool isOpen() const { return m_open; }
    QString sql() const { return m_sql; }

    int recordCount() const { return m_liveCount; }
    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    int absolutePosition() const; // 1-based among live rows; -1 at BOF/EOF
    void setAbsolutePosition(int position);

    QStringList columnNames() const { return m_columns; }
    QVariant field(const QString& name) const;
    QVariant field(int index) const;
    QString text(const QString& name) const; // null reads as empty text
    QString text(int index) const;

    bool isUpdatable() const { return !m_table.isEmpty(); }
    void addNew();
    void collect(const QString& name, const QVariant& value);
    void collect(int index, const QVariant& value);
    void update();       // one INSERT or UPDATE; on failure the pending change is dropped
    void cancelUpdate(); // drops a pending change
    void deleteCurrent();

    // Snapshot access for views that show every row without moving the
    // cursor (list models). Rows deleted through this cursor are skipped.
    QString rowText(int liveIndex, int column) const;
    QVariant rowValue(int liveIndex, int column) const;
    int columnIndex(const QString& name) const; // -1 when unknown

private:
    // Private layout is the store's own business; callers use the API above.
    struct Row {
        qint64 rowid = 0;
        QVector<QVariant> values;
        bool deleted = false;
    };

    int currentIndex() const; // index into m_rows of the current row, or -1
    const Row& currentRow() const;
    int requireColumn(const QString& name) const;
    QVariant storable(int column, const QVariant& value) const;
    void insertPending();
    void updatePending();
    void rebuildLiveIndex();

    Connection* m_connection = nullptr;
    bool m_open = false;
    QString m_sql;
    QString m_table;
    QStringList m_columns;
    QVector<bool> m_isDate;
    QVector<Row> m_rows;
    QVector<int> m_live; // indexes of live rows, kept in cursor order
    int m_liveCount = 0;
    int m_pos = -1; // index into m_rows; -1 = BOF, m_rows.size() = EOF

    enum class Edit { None, Adding, Editing };
    Edit m_edit = Edit::None;
    QVector<QVariant> m_pending;
    QVector<bool> m_touched;
};

} // namespace store
