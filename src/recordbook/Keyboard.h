#pragma once

#include <QKeySequence>
#include <QList>
#include <functional>

class QAction;
class QWidget;

namespace recordbook {

// The same keys in every list window; the search key is Ctrl+F.
inline const QKeySequence kClearKey{Qt::CTRL | Qt::Key_N};
inline const QKeySequence kRefreshKey{Qt::Key_F5};
inline const QKeySequence kDeleteKey{Qt::Key_Delete};

// What every list window does for the keyboard and screen readers: Tab leaves
// multi-line boxes and date pickers (instead of typing a tab or walking the
// picker's year, month and day), and each box is named by the label before it,
// or else by its tool tip.
void setUpKeyboard(QWidget& window);

// Tab visits `chain` in this order.
void orderTabs(const QList<QWidget*>& chain);

// `key` runs `action` while `widget` has the focus; menus holding the action show the key.
void bindKeyToWidget(QAction* action, const QKeySequence& key, QWidget* widget);

// Ctrl+F puts the focus in `box` with its text selected.
void focusKeyFor(QWidget& window, QWidget* box);

} // namespace recordbook
