#pragma once

#include <QString>

class QComboBox;
class QTreeWidget;

namespace store {
class Recordset;
}

namespace books {

// Key of the category node numbered `number` (1-based): "fl1", "fl2"...
QString categoryNodeKey(int number);

// Rebuilds the tree and Combo1's items: one root node and one item per row
// of `categories` (column 0), in the cursor's order. The box's text is left
// empty: an editable combo box makes its first item current, and Add would
// then write that category into every new entry. Leaves the cursor on its
// first row.
void fillCategories(store::Recordset& categories, QTreeWidget& tree, QComboBox& combo);

// Sets the category box's text as code does, without the box's change signals.
void setCategoryText(QComboBox& combo, const QString& text);

} // namespace books
