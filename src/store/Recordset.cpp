#include "Recordset.h"

#include "Connection.h"
#include "DateText.h"
#include "JetSql.h"
#include "Statement.h"
#include "StoreError.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <sys/mman.h>

namespace store {

namespace {

// Blanks the inside of single-quoted strings so that user text cannot look
// like a keyword; lengths stay, so positions map back to the original.
QString maskQuoted(const QString& sql)
{
    QString masked = sql;
    bool inside = false;
    for (qsizetype i = 0; i < masked.size(); ++i) {
        if (masked.at(i) == QLatin1Char('\'')) {
            inside = !inside; // a doubled quote flips twice
            continue;
        }
        if (inside) masked[i] = QLatin1Char(' ');
    }
    return masked;
}

QString unquoteIdentifier(const QString& name)
{
    if (name.size() >= 2 &&
        ((name.front() == QLatin1Char('"') && name.back() == QLatin1Char('"')) ||
         (name.front() == QLatin1Char('[') && name.back() == QLatin1Char(']'))))
        return name.mid(1, name.size() - 2);
    return name;
}

struct Shape {
    QString table;             // empty: read-only
    qsizetype afterSelect = 0; // where the row identity is slipped in
};

// A plain select of columns (or *) from one table, optionally filtered,
// can be written back; anything else is read-only.
Shape analyse(const QString& sql)
{
    static const QString ident = QStringLiteral(R"((?:\w+|"[^"]*"|\[[^\]]*\]))");
    static const QRegularExpression select(
        QStringLiteral(
            R"(^\s*select\b(.*?)\bfrom\s+(%1)\s*(?:(?:where|order\s+by|limit)\b.*)?;?\s*$)")
            .arg(ident),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption |
            QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression columns(
        QStringLiteral(R"(^\s*(?:\*|%1(?:\s*,\s*%1)*)\s*$)").arg(ident),
        QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression combining(
        QStringLiteral(R"(\b(?:distinct|all|group|having|union|intersect|except|join)\b)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);

    const QString masked = maskQuoted(sql);
    const QRegularExpressionMatch m = select.match(masked);
    if (!m.hasMatch() || !columns.match(m.captured(1)).hasMatch() ||
        combining.match(masked).hasMatch())
        return {};
    Shape shape;
    shape.table = unquoteIdentifier(sql.mid(m.capturedStart(2), m.capturedLength(2)));
    shape.afterSelect = m.capturedStart(1);
    return shape;
}

} // namespace

void Recordset::open(const QString& sql, Connection& connection)
{
    close();
    if (!connection.isOpen()) throw StoreError(QStringLiteral("数据库连接没有打开"));

    const QString translated = translateJetSql(sql);
    const Shape shape = analyse(translated);
    std::unique_ptr<detail::Statement> statement;
    int first = 0;
    if (!shape.table.isEmpty()) {
        const QString withIdentity = translated.left(shape.afterSelect) +
                                     QStringLiteral(" _rowid_,") +
                                     translated.mid(shape.afterSelect);
        try {
            statement = std::make_unique<detail::Statement>(connection.handle(), withIdentity);
            first = 1;
        } catch (const StoreError&) {
            // A view or a table without row ids: still readable, just not writable.
        }
    }
    if (!statement)
        statement = std::make_unique<detail::Statement>(connection.handle(), translated);

    sqlite3_stmt* raw = statement->get();
    const int count = sqlite3_column_count(raw) - first;
    QStringList columns;
    QVector<bool> isDate;
    for (int c = 0; c < count; ++c) {
        columns << QString::fromUtf8(sqlite3_column_name(raw, c + first));
        const char* declared = sqlite3_column_decltype(raw, c + first);
        isDate << (declared && qstrnicmp(declared, "DATETEXT", 8) == 0);
    }

    m_connection = &connection;
    m_sql = sql;
    m_table = first ? shape.table : QString();
    m_columns = columns;
    m_isDate = isDate;
    try {
        while (statement->step()) {
            m_rows.push_back(Row());
            storeRow(int(m_rows.size()) - 1, first ? sqlite3_column_int64(raw, 0) : 0, raw, first);
        }
    } catch (...) {
        close();
        throw;
    }
    m_liveCount = int(m_rows.size());
    m_live.resize(m_rows.size());
    for (int i = 0; i < int(m_live.size()); ++i)
        m_live[i] = i;
    m_liveDirty = false;
    m_open = true;
    m_pos = 0; // the first row, or the end when there is none
    noteOpened();
}

void Recordset::swap(Recordset& other) noexcept
{
    rewatch(false);
    other.rewatch(false);
    m_checkpoints.swap(other.m_checkpoints);
    std::swap(m_connection, other.m_connection);
    std::swap(m_open, other.m_open);
    m_sql.swap(other.m_sql);
    m_table.swap(other.m_table);
    m_columns.swap(other.m_columns);
    m_isDate.swap(other.m_isDate);
    m_rows.swap(other.m_rows);
    m_blocks.swap(other.m_blocks);
    std::swap(m_free, other.m_free);
    std::swap(m_freeSize, other.m_freeSize);
    std::swap(m_blockSize, other.m_blockSize);
    m_live.swap(other.m_live);
    std::swap(m_liveDirty, other.m_liveDirty);
    std::swap(m_liveCount, other.m_liveCount);
    std::swap(m_pos, other.m_pos);
    std::swap(m_edit, other.m_edit);
    m_pending.swap(other.m_pending);
    m_touched.swap(other.m_touched);
    rewatch(true);
    other.rewatch(true);
}

void Recordset::close()
{
    forgetCheckpoints();
    m_connection = nullptr;
    m_open = false;
    m_sql.clear();
    m_table.clear();
    m_columns.clear();
    m_isDate.clear();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_blocks.clear();
    m_free = nullptr;
    m_freeSize = 0;
    m_blockSize = 0;
    m_live.clear();
    m_live.shrink_to_fit();
    m_liveDirty = false;
    m_liveCount = 0;
    m_pos = -1;
    m_edit = Edit::None;
    m_pending.clear();
    m_touched.clear();
}

// Copies the columns of the statement's current row into row `index`: the
// cells' end offsets (negative: null) followed by their UTF-8 text.
void Recordset::storeRow(int index, qint64 rowid, sqlite3_stmt* statement, int firstColumn)
{
    const int count = int(m_columns.size());
    const char* stackTexts[64];
    int stackSizes[64];
    std::vector<const char*> heapTexts;
    std::vector<int> heapSizes;
    const char** t = stackTexts;
    int* s = stackSizes;
    if (count > 64) {
        heapTexts.resize(size_t(count));
        heapSizes.resize(size_t(count));
        t = heapTexts.data();
        s = heapSizes.data();
    }
    size_t total = 0;
    for (int c = 0; c < count; ++c) {
        // Null text is SQL null (or memory exhausted, which the step reports).
        t[c] = reinterpret_cast<const char*>(sqlite3_column_text(statement, c + firstColumn));
        s[c] = t[c] ? sqlite3_column_bytes(statement, c + firstColumn) : 0;
        total += size_t(s[c]);
    }
    if (total > size_t(std::numeric_limits<qint32>::max()))
        throw StoreError(QStringLiteral("记录太大，无法读取"));

    const size_t header = size_t(count) * sizeof(qint32);
    char* block = allocate(header + total);
    qint32* ends = reinterpret_cast<qint32*>(block);
    char* text = block + header;
    qint32 end = 0;
    for (int c = 0; c < count; ++c) {
        if (t[c]) {
            std::memcpy(text + end, t[c], size_t(s[c]));
            end += s[c];
            ends[c] = end;
        } else {
            ends[c] = -end - 1;
        }
    }
    Row& row = m_rows[size_t(index)];
    row.rowid = rowid;
    row.data = block;
}

void Recordset::FreeBlock::operator()(char* block) const
{
    std::free(block);
}

char* Recordset::allocate(size_t size)
{
    // Pieces stay aligned for the offsets at their start.
    size = (size + alignof(qint32) - 1) & ~(alignof(qint32) - 1);
    if (size > m_freeSize) {
        // Blocks grow with the result, so a one-row settings table stays
        // small while a large book gets few, huge-page backed blocks: on a
        // big result, faulting in pages costs more than copying the text.
        constexpr size_t hugePage = size_t(2) << 20;
        const size_t grown =
            m_blocks.empty() ? size_t(16) << 10 : std::min(m_blockSize * 2, 2 * hugePage);
        m_blockSize = std::max(size, grown);
        char* block = nullptr;
        if (m_blockSize >= hugePage) {
            m_blockSize = (m_blockSize + hugePage - 1) & ~(hugePage - 1);
            block = static_cast<char*>(std::aligned_alloc(hugePage, m_blockSize));
#ifdef MADV_HUGEPAGE
            if (block) madvise(block, m_blockSize, MADV_HUGEPAGE);
#endif
        } else {
            block = static_cast<char*>(std::malloc(m_blockSize));
        }
        if (!block) throw std::bad_alloc();
        m_blocks.emplace_back(block);
        m_free = block;
        m_freeSize = m_blockSize;
    }
    char* out = m_free;
    m_free += size;
    m_freeSize -= size;
    return out;
}

Recordset::Cell Recordset::cell(int row, int column) const
{
    const char* block = m_rows[size_t(row)].data;
    const qint32* ends = reinterpret_cast<const qint32*>(block);
    const qint32 end = ends[column];
    if (end < 0) return {};
    qint32 start = 0;
    if (column > 0) {
        const qint32 previous = ends[column - 1];
        start = previous < 0 ? -previous - 1 : previous;
    }
    if (end == start) return {"", 0};
    return {block + m_columns.size() * sizeof(qint32) + start, end - start};
}

QVariant Recordset::valueOf(int column, const Cell& c) const
{
    if (!c.text) return QVariant();
    const QString text = QString::fromUtf8(c.text, c.size);
    if (m_isDate[column]) {
        if (const std::optional<QDateTime> date = fromStoredDate(text)) return *date;
    }
    return text;
}

QString Recordset::textOf(int column, const Cell& c) const
{
    if (!c.text) return QString();
    const QString text = QString::fromUtf8(c.text, c.size);
    if (m_isDate[column]) {
        if (std::optional<QString> shown = storedDateDisplayText(text)) return *shown;
    }
    return text;
}

// ---- position ---------------------------------------------------------

bool Recordset::eof() const
{
    if (m_edit == Edit::Adding) return false;
    return m_pos >= int(m_rows.size()) || (m_liveCount == 0 && m_pos < 0);
}

bool Recordset::bof() const
{
    if (m_edit == Edit::Adding) return false;
    return m_pos < 0 || (m_liveCount == 0 && m_pos >= int(m_rows.size()));
}

// Moves from `from` in direction `step` to the nearest live row, or past the end.
void Recordset::seekLive(int from, int step)
{
    int i = from;
    const int size = int(m_rows.size());
    while (i >= 0 && i < size && m_rows[i].deleted)
        i += step;
    m_pos = i < 0 ? -1 : (i >= size ? size : i);
}

void Recordset::moveFirst()
{
    finishEditBeforeMove();
    seekLive(0, 1);
}

void Recordset::moveLast()
{
    finishEditBeforeMove();
    seekLive(int(m_rows.size()) - 1, -1);
    if (m_pos < 0) m_pos = int(m_rows.size()); // empty: both ends at once
}

void Recordset::moveNext()
{
    finishEditBeforeMove();
    if (m_pos < int(m_rows.size())) seekLive(m_pos + 1, 1);
}

void Recordset::movePrevious()
{
    finishEditBeforeMove();
    if (m_pos >= 0) seekLive(m_pos - 1, -1);
}

void Recordset::ensureLiveIndex() const
{
    if (!m_liveDirty) return;
    m_live.clear();
    m_live.reserve(size_t(m_liveCount));
    for (int i = 0; i < int(m_rows.size()); ++i) {
        if (!m_rows[i].deleted) m_live.push_back(i);
    }
    m_liveDirty = false;
}

int Recordset::absolutePosition() const
{
    if (!hasCurrent()) return -1;
    ensureLiveIndex();
    // A deleted current row reports the place it held.
    return int(std::lower_bound(m_live.begin(), m_live.end(), m_pos) - m_live.begin()) + 1;
}

void Recordset::setAbsolutePosition(int position)
{
    if (position < 1 || position > m_liveCount)
        throw StoreError(
            QStringLiteral("记录位置 %1 超出范围（共 %2 条记录）").arg(position).arg(m_liveCount));
    finishEditBeforeMove();
    ensureLiveIndex();
    m_pos = m_live[size_t(position - 1)];
}

// ---- reading ------------------------------------------------------------

const Recordset::Row& Recordset::currentRow() const
{
    if (!m_open) throw StoreError(QStringLiteral("记录集没有打开"));
    if (!hasCurrent()) throw StoreError(QStringLiteral("没有当前记录：已在记录集的开头或末尾"));
    return m_rows[size_t(m_pos)];
}

int Recordset::columnIndex(const QString& name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].compare(name, Qt::CaseInsensitive) == 0) return c;
    }
    return -1;
}

int Recordset::requireColumn(const QString& name) const
{
    const int c = columnIndex(name);
    if (c < 0) throw StoreError(QStringLiteral("记录集中没有名为“%1”的列").arg(name));
    return c;
}

int Recordset::requireIndex(int index) const
{
    if (index < 0 || index >= m_columns.size())
        throw StoreError(QStringLiteral("记录集中没有第 %1 列").arg(index));
    return index;
}

// The current row's cell as read, or as collected while a change is pending
// (pending values are already in storage form).
template <typename Read> auto Recordset::readCurrent(int column, Read read) const
{
    if (m_edit != Edit::None && m_touched[column]) {
        const QVariant& pending = m_pending[column];
        if (pending.isNull()) return read(Cell{});
        const QByteArray utf8 = pending.toString().toUtf8();
        return read(Cell{utf8.constData(), int(utf8.size())});
    }
    if (m_edit == Edit::Adding) return read(Cell{});
    currentRow();
    return read(cell(m_pos, column));
}

QVariant Recordset::currentValue(int column) const
{
    return readCurrent(column, [&](const Cell& c) { return valueOf(column, c); });
}

QVariant Recordset::field(const QString& name) const
{
    return currentValue(requireColumn(name));
}

QVariant Recordset::field(int index) const
{
    return currentValue(requireIndex(index));
}

QString Recordset::text(const QString& name) const
{
    return text(requireColumn(name));
}

QString Recordset::text(int index) const
{
    const int column = requireIndex(index);
    return readCurrent(column, [&](const Cell& c) { return textOf(column, c); });
}

QByteArrayView Recordset::stored(int record, int column) const
{
    if (record < 0 || record >= m_liveCount || column < 0 || column >= m_columns.size())
        return QByteArrayView();
    ensureLiveIndex();
    const Cell c = cell(m_live[size_t(record)], column);
    return c.text ? QByteArrayView(c.text, c.size) : QByteArrayView();
}

} // namespace store
