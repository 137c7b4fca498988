#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace store {

class Connection;
namespace detail {
class Statement;
}

// A static, scrollable, optimistic cursor over one query, as the windows
// expect of a record set: every row is read at open, so recordCount() is
// true and later statements do not change the snapshot. Values are null
// QVariants, QStrings, or QDateTimes for date columns.
class Recordset {
public:
    Recordset() = default;
    ~Recordset() { forgetCheckpoints(); }
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    Recordset(Recordset&& other) noexcept { swap(other); }
    Recordset& operator=(Recordset&& other) noexcept
    {
        Recordset taken(std::move(other));
        swap(taken);
        return *this;
    }
    void swap(Recordset& other) noexcept;
    Recordset(const QString& sql, Connection& connection) { open(sql, connection); }

    void open(const QString& sql, Connection& connection); // throws StoreError
    void close();
    bool isOpen() const { return m_open; }

    int recordCount() const { return m_liveCount; }
    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    int absolutePosition() const; // 1-based among live rows; -1 at BOF/EOF
    void setAbsolutePosition(int position);

    QVariant field(const QString& name) const;
    QVariant field(int index) const;
    QString text(const QString& name) const; // null reads as empty text
    QString text(int index) const;

    void addNew();
    // An invalid QVariant stores null; any QString, even a null one, stores
    // text. Text for a date column must read as a date, or the whole
    // pending change is dropped and StoreError thrown.
    void collect(const QString& name, const QVariant& value);
    void collect(int index, const QVariant& value);
    void update();       // one INSERT or UPDATE; on failure the pending change is dropped
    void cancelUpdate(); // drops a pending change
    void deleteCurrent();

    // A cell of the snapshot without moving the cursor, for lists and scans
    // over every record: `record` counts live records from 0 in cursor
    // order. The text is the engine's UTF-8 (dates as "yyyy-MM-dd" or
    // "yyyy-MM-dd HH:mm:ss"); a null cell has no data, out of range reads
    // null. Valid until the cursor changes; an edit in progress is not seen.
    QByteArrayView stored(int record, int column) const;
    int columnIndex(const QString& name) const; // -1 when unknown

private:
    friend class Connection;
    // Every cell is kept as the engine's UTF-8 text; a row is one piece of
    // m_blocks holding its cells' end offsets and then their text. A row
    // changed by update() gets a fresh piece.
    struct Row {
        qint64 rowid = 0;
        const char* data = nullptr;
        bool deleted = false;
    };
    struct Cell {
        const char* text = nullptr; // nullptr: null
        int size = 0;
    };

    bool hasCurrent() const { return m_pos >= 0 && m_pos < int(m_rows.size()); }
    const Row& currentRow() const;
    void requireWritable() const;
    int requireColumn(const QString& name) const;
    int requireIndex(int index) const;
    Cell cell(int row, int column) const;
    char* allocate(size_t size);
    QVariant valueOf(int column, const Cell& c) const;
    QString textOf(int column, const Cell& c) const;
    QVariant currentValue(int column) const;
    template <typename Read> auto readCurrent(int column, Read read) const;
    QVariant storable(int column, const QVariant& value) const;
    void beginEdit();
    void finishEditBeforeMove();
    void storeRow(int index, qint64 rowid, sqlite3_stmt* statement, int firstColumn);
    bool rereadRow(int index, qint64 rowid);
    void insertPending();
    void updatePending();
    void bindPending(detail::Statement& statement, int& slot) const; // touched columns, in order
    void bindOriginal(detail::Statement& statement, int& slot, int row) const;
    QString originalCondition() const;
    void markDeleted(int index);
    QString columnList() const;
    void ensureLiveIndex() const;
    void seekLive(int from, int step);

    Connection* m_connection = nullptr;
    bool m_open = false;
    QString m_sql; // named in the refusal of a write to a read-only cursor
    QString m_table;
    QStringList m_columns;
    QVector<bool> m_isDate;
    std::vector<Row> m_rows;
    struct FreeBlock {
        void operator()(char* block) const;
    };
    std::vector<std::unique_ptr<char, FreeBlock>> m_blocks;
    char* m_free = nullptr;
    size_t m_freeSize = 0;
    size_t m_blockSize = 0;
    mutable std::vector<int> m_live; // indexes of live rows, in cursor order
    mutable bool m_liveDirty = false;
    int m_liveCount = 0;
    int m_pos = -1; // index into m_rows; -1 = BOF, m_rows.size() = EOF

    // The cursor as it was when a command first changed the book through it
    // (or, with reread, a cursor read while changes were pending), so that
    // rolling the command back puts it back.
    struct Checkpoint {
        int depth;
        bool reread;
        std::vector<Row> rows;
        int liveCount;
        int pos;
    };
    void aboutToChange();
    void noteOpened();
    void forgetCheckpoints();
    void rewatch(bool attach);
    bool moveCheckpoint(int from, int to); // true: now to be watched at `to`
    void restoreCheckpoint(int depth);
    std::vector<Checkpoint> m_checkpoints;

    enum class Edit { None, Adding, Editing };
    Edit m_edit = Edit::None;
    QVector<QVariant> m_pending;
    QVector<bool> m_touched;
};

} // namespace store
