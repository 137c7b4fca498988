#pragma once

#include <QAbstractListModel>
#include <memory>

namespace store {
class Recordset;
}

namespace reminders {

// The lines of the affair list, read on demand from the cursor in the
// shared affairCursor slot: line n shows record n + 1's 要事 without its line
// breaks. Nothing is copied, so 100,000 lines fill at once. The line count
// is fixed when the list is filled; a line the cursor no longer has shows
// empty rather than reading a cursor that is gone.
class AffairListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit AffairListModel(const std::unique_ptr<store::Recordset>& cursorSlot,
                             QObject* parent = nullptr);

    // One line per record of the cursor now in the slot.
    void fill();
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const std::unique_ptr<store::Recordset>& m_slot;
    int m_rows = 0;
};

} // namespace reminders
