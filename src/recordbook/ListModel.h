#pragma once

#include <QAbstractListModel>
#include <QString>

namespace store {
class Recordset;
}

namespace recordbook {

// A list line shows at most this many characters of its record.
constexpr int kLineCharacters = 4096;

// The lines of a record list: line n shows one column of a record of the
// given cursor, line breaks taken out (the stored text is unchanged), at
// most kLineCharacters of it. Lines
// are read on demand, so 100,000 of them fill at once.
class ListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ListModel(QString column, QObject* parent = nullptr);

    // One line per record of `cursor`, in cursor order (null: no lines).
    void setCursor(const store::Recordset* cursor);
    // The cursor was replaced: lines stay as they are but read `cursor`
    // from now on; a line it has no record for shows empty.
    void retarget(const store::Recordset* cursor);
    // No lines.
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QString m_column;
    const store::Recordset* m_cursor = nullptr;
    int m_lines = 0; // line n is record n
};

// A stored text as one list line: CR and LF taken out.
QString lineText(const QString& stored);

} // namespace recordbook
