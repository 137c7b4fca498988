#include "books/CategoryTree.h"

#include "store/Recordset.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace books {

namespace {
constexpr int kKeyRole = Qt::UserRole;
}

QString categoryNodeKey(int number)
{
    return QStringLiteral("fl") + QString::number(number);
}

void fillCategories(store::Recordset& categories, QTreeWidget& tree, QComboBox& combo)
{
    const QSignalBlocker blockCombo(combo);
    tree.clear();
    combo.clear();
    QList<QTreeWidgetItem*> nodes;
    QStringList items;
    nodes.reserve(categories.recordCount());
    items.reserve(categories.recordCount());
    int number = 1;
    for (categories.moveFirst(); !categories.eof(); categories.moveNext()) {
        const QString category = categories.text(0);
        auto* node = new QTreeWidgetItem(QStringList{category});
        node->setData(0, kKeyRole, categoryNodeKey(number));
        nodes << node;
        items << category;
        ++number;
    }
    tree.addTopLevelItems(nodes);
    // Making each new node visible in turn leaves the last one in view.
    if (!nodes.isEmpty()) tree.scrollToItem(nodes.last());
    combo.addItems(items);
    combo.setCurrentIndex(-1);
    combo.setEditText(QString());
    if (categories.recordCount() > 0) categories.moveFirst();
}

void setCategoryText(QComboBox& combo, const QString& text)
{
    const QSignalBlocker block(combo);
    combo.setEditText(text);
}

} // namespace books
