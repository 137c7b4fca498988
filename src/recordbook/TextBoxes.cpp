#include "recordbook/TextBoxes.h"

#include <QApplication>
#include <QDrag>
#include <QEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

namespace recordbook {

namespace {

DragRunner& dragRunner()
{
    static DragRunner runner;
    return runner;
}

void runCopyDrag(QWidget* source, QMimeData* data)
{
    auto* drag = new QDrag(source);
    drag->setMimeData(data);
    if (dragRunner())
        dragRunner()(*drag, Qt::CopyAction);
    else
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    drag->deleteLater();
}

QMimeData* dragData(const QString& text, DragFormats formats)
{
    auto* data = new QMimeData;
    if (formats & PlainText) data->setText(text);
    if (formats & RichText) data->setData(kRtfMimeType, rtfFromText(text).toLatin1());
    return data;
}

bool farEnough(const QPoint& from, const QPoint& to)
{
    return (to - from).manhattanLength() >= QApplication::startDragDistance();
}

} // namespace

void setDragRunner(DragRunner runner)
{
    dragRunner() = std::move(runner);
}

QString rtfFromText(const QString& text)
{
    QString body;
    body.reserve(text.size() * 2);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == u'{' || c == u'}') {
            body += u'\\';
            body += c;
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
            body += QStringLiteral("\\par ");
        } else if (c == u'\n') {
            body += QStringLiteral("\\par ");
        } else if (c.unicode() < 0x80) {
            body += c;
        } else {
            // RTF spells other characters as signed 16-bit code units.
            body += QStringLiteral("\\u%1?").arg(static_cast<qint16>(c.unicode()));
        }
    }
    return QStringLiteral("{\\rtf1\\ansi\\uc1 ") + body + u'}';
}

// ---- SelectionDrag

bool SelectionDrag::press(const QMouseEvent* event, bool onSelection)
{
    m_pending = event->button() == Qt::LeftButton && onSelection;
    m_pressPos = event->position().toPoint();
    return m_pending;
}

bool SelectionDrag::move(const QMouseEvent* event, const std::function<void()>& start)
{
    if (!m_pending) return false;
    if ((event->buttons() & Qt::LeftButton) && farEnough(m_pressPos, event->position().toPoint())) {
        m_pending = false;
        start();
    }
    return true;
}

bool SelectionDrag::release()
{
    return std::exchange(m_pending, false);
}

// ---- DragLineEdit

DragLineEdit::DragLineEdit(QWidget* parent) : QLineEdit(parent)
{
    // Drags are started here, not by QLineEdit, which would offer a move.
    setDragEnabled(false);
    setAcceptDrops(true);
}

QMimeData* DragLineEdit::createDragMimeData() const
{
    return dragData(selectedText(), m_formats);
}

bool DragLineEdit::onSelection(const QPoint& pos)
{
    if (!hasSelectedText()) return false;
    const int at = cursorPositionAt(pos);
    return at >= selectionStart() && at < selectionEnd();
}

void DragLineEdit::mousePressEvent(QMouseEvent* event)
{
    if (!m_drag.press(event, onSelection(event->position().toPoint())))
        QLineEdit::mousePressEvent(event);
}

void DragLineEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drag.move(event, [this] {
            emit dragStarting();
            runCopyDrag(this, createDragMimeData());
        }))
        QLineEdit::mouseMoveEvent(event);
}

void DragLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drag.release())
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
    else
        QLineEdit::mouseReleaseEvent(event);
}

// ---- RawTextEdit

namespace {

// What a separator in the document stood for in the raw text. U+2028,
// U+2029, U+FDD0 and U+FDD1 would read back as separators too, so they are
// kept as separators of their own kind.
enum Break : char { CrLf, LfCr, Cr, Lf, Line, Paragraph, FrameStart, FrameEnd };

bool isBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

RawTextEdit::RawTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText) m_rawCurrent = false;
    });
}

QString RawTextEdit::rawText() const
{
    const QString text = document()->toRawText();
    QString out;
    out.reserve(text.size() + (m_rawCurrent ? m_breaks.size() : text.size() / 8));
    qsizetype next = 0;
    for (const QChar c : text) {
        if (c != QChar::ParagraphSeparator && c != QChar::LineSeparator) {
            out += c;
            continue;
        }
        switch (m_rawCurrent && next < m_breaks.size() ? m_breaks.at(next++) : char(CrLf)) {
        case CrLf:
            out += u"\r\n";
            break;
        case LfCr:
            out += u"\n\r";
            break;
        case Cr:
            out += u'\r';
            break;
        case Lf:
            out += u'\n';
            break;
        case Line:
            out += QChar::LineSeparator;
            break;
        case Paragraph:
            out += QChar::ParagraphSeparator;
            break;
        case FrameStart:
            out += QChar(0xfdd0);
            break;
        case FrameEnd:
            out += QChar(0xfdd1);
            break;
        }
    }
    return out;
}

void RawTextEdit::setRawText(const QString& text)
{
    beginRawText();
    appendRawText(text);
    endRawText();
}

void RawTextEdit::beginRawText()
{
    m_settingText = true;
    m_rawCurrent = true;
    m_breaks.clear();
    m_pending.clear();
    m_lines = 0;
    setPlainText(QString());
    QTextDocument* doc = document();
    m_undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    m_feedAt = QTextCursor(doc);
    m_feedAt.beginEditBlock();
}

void RawTextEdit::appendRawText(QStringView piece)
{
    m_pending += piece;
    if (m_pending.size() >= 1 << 20) feed(false);
}

void RawTextEdit::endRawText()
{
    feed(true);
    m_feedAt.endEditBlock();
    m_feedAt = QTextCursor();
    document()->setUndoRedoEnabled(m_undo);
    m_pending = QString();
    m_breaks.squeeze();
    moveCursor(QTextCursor::Start);
    m_settingText = false;
}

void RawTextEdit::feed(bool last)
{
    // A run of breaks waits for the next piece whole, so CR LF split between
    // two pieces still shows as one break.
    qsizetype end = m_pending.size();
    if (!last)
        while (end > 0 && isBreak(m_pending.at(end - 1)))
            --end;
    // A paragraph per line makes a text of 400,000 lines slow to show and
    // large to keep, so most breaks become line separators.
    constexpr int kLinesPerParagraph = 32;
    QString out;
    out.reserve(end);
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = m_pending.at(i);
        if (isBreak(c)) {
            const QChar partner = c == u'\r' ? u'\n' : u'\r';
            const bool pair = i + 1 < end && m_pending.at(i + 1) == partner;
            i += pair;
            m_breaks += char(pair ? (c == u'\r' ? CrLf : LfCr) : (c == u'\r' ? Cr : Lf));
            out += ++m_lines % kLinesPerParagraph == 0 ? QChar(u'\n') : QChar::LineSeparator;
        } else if (c == QChar::LineSeparator) {
            m_breaks += Line;
            out += c;
        } else if (c == QChar::ParagraphSeparator || c == QChar(0xfdd0) || c == QChar(0xfdd1)) {
            m_breaks += char(c == QChar::ParagraphSeparator ? Paragraph
                             : c == QChar(0xfdd0)           ? FrameStart
                                                            : FrameEnd);
            out += u'\n';
        } else {
            out += c;
        }
    }
    m_feedAt.insertText(out);
    m_pending.remove(0, end);
}

QString RawTextEdit::selectedRawText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

QMimeData* RawTextEdit::createMimeDataFromSelection() const
{
    // Copying to the clipboard always offers plain text; drags offer their formats.
    return dragData(selectedRawText(), m_formats | PlainText);
}

bool RawTextEdit::onSelection(const QPoint& pos) const
{
    const QTextCursor selection = textCursor();
    if (!selection.hasSelection()) return false;
    const int at = cursorForPosition(pos).position();
    return at >= selection.selectionStart() && at < selection.selectionEnd();
}

void RawTextEdit::mousePressEvent(QMouseEvent* event)
{
    if (!m_drag.press(event, onSelection(event->position().toPoint())))
        QPlainTextEdit::mousePressEvent(event);
}

void RawTextEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drag.move(event, [this] {
            emit dragStarting();
            runCopyDrag(this, dragData(selectedRawText(), m_formats));
        }))
        QPlainTextEdit::mouseMoveEvent(event);
}

void RawTextEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drag.release())
        setTextCursor(cursorForPosition(event->position().toPoint()));
    else
        QPlainTextEdit::mouseReleaseEvent(event);
}

// ---- ToolTipFollower

void ToolTipFollower::follow(QLineEdit* box)
{
    box->setMouseTracking(true);
    box->installEventFilter(this);
}

bool ToolTipFollower::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
    case QEvent::ToolTip:
        if (auto* box = qobject_cast<QLineEdit*>(watched)) box->setToolTip(box->text());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace recordbook
