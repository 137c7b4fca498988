#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class QWidget;

namespace store {
class Recordset;
}

namespace recordbook {

// The text a box holds and shows. Handles QLineEdit, QPlainTextEdit (a
// RawTextEdit by its raw text), QTextEdit (plain text) and QComboBox (the
// edit text).
QString boxText(const QWidget* box);
void setBoxText(QWidget* box, const QString& text);

// A date column as a box shows it: yyyy-MM-dd, or yyyy-MM-dd H:mm when the
// time is not midnight; empty for null.
QString dateBoxText(const QVariant& value);

enum class Mode { Add, Modify };

// One box bound to one column.
struct FieldBinding {
    enum class Display { Text, Date };
    // What an empty box writes: on Add nothing and on Modify null; the empty
    // string; or "100" (a weekday column's "none").
    enum class Empty { NothingOrNull, EmptyText, Hundred };

    QWidget* box = nullptr;
    QString column;
    Display display = Display::Text;
    Empty empty = Empty::NothingOrNull;
    bool written = true; // false: the box is filled from the column, never written back
};

// A column whose value is worked out from the boxes (or elsewhere) when the
// record is written. The function answers what to write: nullopt writes
// nothing, an invalid QVariant writes null.
struct ComputedColumn {
    QString column;
    std::function<std::optional<QVariant>(Mode)> value;
};

// The boxes of a record window and the columns behind them.
class FieldBindings {
public:
    // Binds `box` to `column`; see FieldBinding for the rules.
    FieldBindings& bind(QWidget* box, const QString& column,
                        FieldBinding::Display display = FieldBinding::Display::Text,
                        FieldBinding::Empty empty = FieldBinding::Empty::NothingOrNull);
    // Fills `box` from `column` but never writes it.
    FieldBindings& show(QWidget* box, const QString& column);
    // Writes `column` from `value` (see ComputedColumn).
    FieldBindings& compute(const QString& column,
                           std::function<std::optional<QVariant>(Mode)> value);
    // Writes `column` on Add only, when `value` gives a non-empty text;
    // Modify never touches it.
    FieldBindings& addOnly(const QString& column, std::function<QString()> value);

    // Sets every bound box but `kept` from the cursor's current record (null: empty box).
    void fillBoxes(const store::Recordset& cursor, const QWidget* kept = nullptr) const;
    // Empties every bound box.
    void clearBoxes() const;
    // Collects the boxes and computed columns into the cursor's pending
    // change, in binding order; the caller calls addNew() before and update() after.
    void collect(store::Recordset& cursor, Mode mode) const;

private:
    QList<FieldBinding> m_bindings;
    QList<ComputedColumn> m_computed;
};

} // namespace recordbook
