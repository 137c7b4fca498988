#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <functional>

class QDrag;
class QMimeData;
class QMouseEvent;

namespace recordbook {

// A drag out of a box must never cut the source text, so every box starts
// its own drags offering the copy action alone. Tests replace the modal
// drag loop through this hook; the default runs QDrag::exec.
using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions actions)>;
void setDragRunner(DragRunner runner);

// The selection as a word processor's rich text (RTF) document.
QString rtfFromText(const QString& text);
inline const QString kRtfMimeType = QStringLiteral("text/rtf");

// The press, move and release of dragging a box's selection: a press on the
// selection waits; a move far enough starts the drag; a release without one
// is a click that places the caret.
class SelectionDrag {
public:
    bool press(const QMouseEvent* event, bool onSelection);                  // true: the gesture's
    bool move(const QMouseEvent* event, const std::function<void()>& start); // likewise
    bool release(); // true: a click on the selection

private:
    QPoint m_pressPos;
    bool m_pending = false;
};

// The formats a box's drag offers its selection in.
enum DragFormat { PlainText = 1, RichText = 2 };
Q_DECLARE_FLAGS(DragFormats, DragFormat)
Q_DECLARE_OPERATORS_FOR_FLAGS(DragFormats)

// A single-line box whose selection drags out, copy only, as plain and rich
// text unless told otherwise. Drops are inserted where they land (QLineEdit's
// own drop handling).
class DragLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DragLineEdit(QWidget* parent = nullptr);
    void setDragFormats(DragFormats formats) { m_formats = formats; }
    QMimeData* createDragMimeData() const;

signals:
    // Emitted just before a drag of the selection begins.
    void dragStarting();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool onSelection(const QPoint& pos); // cursorPositionAt is not const
    DragFormats m_formats = PlainText | RichText;
    SelectionDrag m_drag;
};

// A multi-line box that gives back the exact text the program put there (the
// due list separates entries by LF CR LF CR, which the widget would turn into
// plain breaks; CR LF, LF CR, lone CR and lone LF each show as one break).
// Only what each break stood for is kept beside the widget's own text, so a
// whole book shown here is held once. Once the user edits it, the raw text is
// the widget's text with CR LF line breaks. Its selection drags out, copy
// only, as plain text unless told otherwise.
class RawTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RawTextEdit(QWidget* parent = nullptr);
    void setDragFormats(DragFormats formats) { m_formats = formats; }

    QString rawText() const;
    void setRawText(const QString& text);
    // Replaces the text piece by piece, as if the pieces were one string, so
    // a large text never exists whole outside the widget.
    void beginRawText();
    void appendRawText(QStringView piece);
    void endRawText();

signals:
    // Emitted just before a drag of the selection begins.
    void dragStarting();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool onSelection(const QPoint& pos) const;
    QString selectedRawText() const;
    void feed(bool last);

    DragFormats m_formats = PlainText;
    QByteArray m_breaks; // what each separator in the document stood for
    QString m_pending;   // appended text not yet in the document
    QTextCursor m_feedAt;
    int m_lines = 0;
    bool m_undo = true;
    bool m_rawCurrent = true;
    bool m_settingText = false;
    SelectionDrag m_drag;
};

// Keeps a box's tool tip equal to its whole text whenever the mouse is over it.
class ToolTipFollower : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void follow(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace recordbook
