#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

class QDrag;
class QMimeData;

namespace recordbook {

// A drag out of a box must never cut the source text, so every box starts
// its own drags offering the copy action alone. Tests replace the modal
// drag loop through this hook; the default runs QDrag::exec.
using DragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions actions)>;
void setDragRunner(DragRunner runner);

// The selection as a word processor's rich text (RTF) document.
QString rtfFromText(const QString& text);
inline const QString kRtfMimeType = QStringLiteral("text/rtf");

// How the multi-line box shows a raw text: CR LF, LF CR, lone CR and lone LF
// each become one line break.
QString displayText(const QString& raw);
// The same text as RawTextEdit hands it to its document: line breaks are
// mostly line separators (U+2028), so a long text makes few paragraphs.
QString documentText(const QString& raw);

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
    QPoint m_pressPos;
    bool m_dragPending = false;
};

// A multi-line box that keeps the exact text the program put there (the
// due list separates entries by LF CR LF CR, which the widget would turn
// into plain breaks) and shows a copy; once the user edits it, the raw text
// is the widget's text with CR LF line breaks. Its selection drags out, copy
// only, as plain text unless told otherwise.
class RawTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RawTextEdit(QWidget* parent = nullptr);
    void setDragFormats(DragFormats formats) { m_formats = formats; }

    QString rawText() const;
    void setRawText(const QString& text);

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
    DragFormats m_formats = PlainText;
    mutable QString m_raw;
    mutable bool m_rawCurrent = true;
    bool m_settingText = false;
    QPoint m_pressPos;
    bool m_dragPending = false;
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
