#pragma once

#include <QString>

class QWidget;

namespace recordbook {

// What the status line says after a list is filled: "共 120 条" for the whole
// table, "找到 3 条" or "没有找到" for a search or any other selection.
QString listStatusText(int lines, bool filtered);

// Shows `text` in the status line at the bottom of `window` (a main window),
// made on first use.
void showListStatus(QWidget& window, const QString& text);

// Makes the empty status line before the window is first sized, so that the
// first text does not push the window's rows up.
void reserveListStatus(QWidget& window);

} // namespace recordbook
