#include "recordbook/TextBoxes.h"

#include <QApplication>
#include <QDrag>
#include <QEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

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

QString displayText(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\r' || c == u'\n') {
            const QChar partner = c == u'\r' ? u'\n' : u'\r';
            if (i + 1 < raw.size() && raw.at(i + 1) == partner) ++i;
            out += u'\n';
        } else {
            out += c;
        }
    }
    return out;
}

QString documentText(const QString& raw)
{
    // A paragraph per line makes a text of 400,000 lines slow to show and
    // large to keep; lines joined by line separators into paragraphs of up to
    // kLinesPerParagraph look the same and read back the same.
    constexpr int kLinesPerParagraph = 32;
    QString out;
    out.reserve(raw.size());
    int lines = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == u'\r' || c == u'\n') {
            const QChar partner = c == u'\r' ? u'\n' : u'\r';
            if (i + 1 < raw.size() && raw.at(i + 1) == partner) ++i;
            out += ++lines % kLinesPerParagraph == 0 ? QChar(u'\n') : QChar::LineSeparator;
        } else {
            out += c;
        }
    }
    return out;
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
    if (event->button() == Qt::LeftButton && onSelection(event->position().toPoint())) {
        m_pressPos = event->position().toPoint();
        m_dragPending = true;
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void DragLineEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragPending) {
        if ((event->buttons() & Qt::LeftButton) &&
            farEnough(m_pressPos, event->position().toPoint())) {
            m_dragPending = false;
            emit dragStarting();
            runCopyDrag(this, createDragMimeData());
        }
        event->accept();
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void DragLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragPending) {
        // A click on the selection without a drag places the caret there.
        m_dragPending = false;
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// ---- RawTextEdit

RawTextEdit::RawTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText) m_rawCurrent = false;
    });
}

QString RawTextEdit::rawText() const
{
    if (!m_rawCurrent) {
        QString text = document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
        text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
        m_raw = text;
        m_rawCurrent = true;
    }
    return m_raw;
}

void RawTextEdit::setRawText(const QString& text)
{
    m_raw = text;
    m_rawCurrent = true;
    m_settingText = true;
    constexpr qsizetype kChunk = 1 << 20;
    if (text.size() <= kChunk) {
        setPlainText(documentText(text));
    } else {
        // A large text goes in by pieces, so no second copy of it is ever whole.
        setPlainText(QString());
        QTextDocument* doc = document();
        const bool undo = doc->isUndoRedoEnabled();
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc);
        cursor.beginEditBlock();
        for (qsizetype at = 0; at < text.size();) {
            qsizetype end = std::min(text.size(), at + kChunk);
            // A piece never ends inside a CR LF pair or a surrogate pair.
            while (end < text.size() && (text.at(end - 1) == u'\r' || text.at(end - 1) == u'\n' ||
                                         text.at(end - 1).isHighSurrogate()))
                ++end;
            cursor.insertText(documentText(text.mid(at, end - at)));
            at = end;
        }
        cursor.endEditBlock();
        doc->setUndoRedoEnabled(undo);
        moveCursor(QTextCursor::Start);
    }
    m_settingText = false;
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
    if (event->button() == Qt::LeftButton && onSelection(event->position().toPoint())) {
        m_pressPos = event->position().toPoint();
        m_dragPending = true;
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void RawTextEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragPending) {
        if ((event->buttons() & Qt::LeftButton) &&
            farEnough(m_pressPos, event->position().toPoint())) {
            m_dragPending = false;
            emit dragStarting();
            runCopyDrag(this, dragData(selectedRawText(), m_formats));
        }
        event->accept();
        return;
    }
    QPlainTextEdit::mouseMoveEvent(event);
}

void RawTextEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragPending) {
        m_dragPending = false;
        setTextCursor(cursorForPosition(event->position().toPoint()));
        event->accept();
        return;
    }
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
