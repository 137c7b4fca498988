#pragma once

#include <QListView>

namespace recordbook {

// The list of a record window: one selected line at most, uniform line
// heights for long lists. A click on the empty area below the lines keeps
// the selection; a double-click on a line that is not selected selects it
// (which loads it) before doubleClicked is emitted.
class RecordList : public QListView {
    Q_OBJECT
public:
    explicit RecordList(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_pressedBelowLines = false;
};

} // namespace recordbook
