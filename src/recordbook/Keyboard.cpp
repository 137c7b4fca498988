#include "recordbook/Keyboard.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>

namespace recordbook {

namespace {

bool isBox(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

QString labelName(const QLabel* label)
{
    QString text = label->text();
    text.remove(QLatin1Char('&'));
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)))
        text.chop(1);
    return text.trimmed();
}

// The widget a layout places right after `index`: the next item of a box
// layout, the next column of a grid row.
QWidget* nextInLayout(QLayout* layout, int index)
{
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        QLayoutItem* item = grid->itemAtPosition(row, column + columnSpan);
        return item ? item->widget() : nullptr;
    }
    QLayoutItem* item = layout->itemAt(index + 1);
    return item ? item->widget() : nullptr;
}

void nameBoxesIn(QLayout* layout)
{
    for (int i = 0; i < layout->count(); ++i) {
        auto* label = qobject_cast<QLabel*>(layout->itemAt(i)->widget());
        QWidget* box = label ? nextInLayout(layout, i) : nullptr;
        if (!box || !isBox(box) || labelName(label).isEmpty()) continue;
        box->setAccessibleName(labelName(label));
        label->setBuddy(box);
    }
}

// Tab and Shift+Tab go on to the next control, not to the picker's next section.
class TabLeavesSections : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Tab && key != Qt::Key_Backtab) return false;
        auto* picker = static_cast<QWidget*>(watched);
        const bool forward = key == Qt::Key_Tab &&
                             !(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier);
        QWidget* next = picker;
        do {
            next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
        } while (next != picker &&
                 !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
                   !next->isAncestorOf(picker) && !picker->isAncestorOf(next) &&
                   next->window() == picker->window()));
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
};

} // namespace

void setUpKeyboard(QWidget& window)
{
    for (auto* box : window.findChildren<QPlainTextEdit*>())
        box->setTabChangesFocus(true);
    auto* filter = new TabLeavesSections(&window);
    for (auto* picker : window.findChildren<QDateTimeEdit*>())
        picker->installEventFilter(filter);
    for (QLayout* layout : window.findChildren<QLayout*>())
        nameBoxesIn(layout);
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (isBox(w) && w->accessibleName().isEmpty() && !w->toolTip().isEmpty())
            w->setAccessibleName(w->toolTip());
    }
}

void orderTabs(const QList<QWidget*>& chain)
{
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void bindKeyToWidget(QAction* action, const QKeySequence& key, QWidget* widget)
{
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    widget->addAction(action);
}

void focusKeyFor(QWidget& window, QWidget* box)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), &window);
    QObject::connect(shortcut, &QShortcut::activated, box, [box] {
        box->setFocus(Qt::ShortcutFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(box)) line->selectAll();
    });
}

} // namespace recordbook
