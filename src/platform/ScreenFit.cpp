#include "platform/ScreenFit.h"

#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

namespace platform {

namespace {

int reservedBottom = 0;

// Window managers draw the frame only once the window is shown; until then a
// title bar and thin borders are assumed.
QMargins frameAllowance(const QWidget& window)
{
    if (window.isVisible()) {
        const QRect frame = window.frameGeometry(), inner = window.geometry();
        return {inner.left() - frame.left(), inner.top() - frame.top(),
                frame.right() - inner.right(), frame.bottom() - inner.bottom()};
    }
    return {4, 32, 4, 4};
}

bool fits(const QSize& size, const QSize& space)
{
    return size.width() <= space.width() && size.height() <= space.height();
}

// The window's content moves into a scroll area that takes its place.
void scrollContent(QWidget& window)
{
    auto* main = qobject_cast<QMainWindow*>(&window);
    QWidget* content = nullptr;
    if (main) {
        content = main->takeCentralWidget();
    } else {
        content = new QWidget;
        content->setLayout(window.layout()); // takes the widgets it lays out along
    }
    auto* scroll = new QScrollArea(&window);
    scroll->setObjectName(QStringLiteral("contentScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    if (main) {
        main->setCentralWidget(scroll);
    } else {
        auto* outer = new QVBoxLayout(&window);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->addWidget(scroll);
    }
}

} // namespace

QRect screenRoom(const QWidget& window)
{
    return window.screen()->availableGeometry().adjusted(0, 0, 0, -reservedBottom);
}

void reserveScreenBottom(int pixels)
{
    reservedBottom = pixels;
}

void fitToScreen(QWidget& window)
{
    const QRect room = screenRoom(window);
    const QMargins frame = frameAllowance(window);
    const QSize space = room.size().shrunkBy(frame);
    auto* main = qobject_cast<QMainWindow*>(&window);
    const bool laidOut = main ? main->centralWidget() != nullptr : window.layout() != nullptr;
    if (laidOut && !fits(window.minimumSizeHint(), space)) scrollContent(window);
    window.resize(window.size().boundedTo(space).expandedTo(window.minimumSizeHint()));

    QRect outer(QPoint(), window.size().grownBy(frame));
    outer.moveCenter(room.center());
    outer.moveTopLeft(
        QPoint(std::max(outer.left(), room.left()), std::max(outer.top(), room.top())));
    window.move(outer.topLeft());
}

} // namespace platform
