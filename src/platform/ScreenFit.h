#pragma once

#include <QRect>

class QWidget;

namespace platform {

// The part of the window's screen it may cover: the available area, less a strip
// at the bottom that tests reserve to stand for a desktop panel.
QRect screenRoom(const QWidget& window);
void reserveScreenBottom(int pixels);

// Before a window is first shown: sizes it to fit its screen's room, frame
// included, and places it there. A main window whose layout needs more than the
// room gets its content in a scroll area, so every button stays reachable.
void fitToScreen(QWidget& window);

} // namespace platform
