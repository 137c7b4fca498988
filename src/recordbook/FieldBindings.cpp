#include "recordbook/FieldBindings.h"

#include "recordbook/TextBoxes.h"
#include "store/DateText.h"
#include "store/Recordset.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextEdit>

namespace recordbook {

QString boxText(const QWidget* box)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(box)) return line->text();
    if (const auto* raw = qobject_cast<const RawTextEdit*>(box)) return raw->rawText();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(box)) return plain->toPlainText();
    if (const auto* rich = qobject_cast<const QTextEdit*>(box)) return rich->toPlainText();
    if (const auto* combo = qobject_cast<const QComboBox*>(box)) return combo->currentText();
    return {};
}

void setBoxText(QWidget* box, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->setText(text);
    else if (auto* raw = qobject_cast<RawTextEdit*>(box))
        raw->setRawText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(box))
        rich->setPlainText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(box))
        combo->setEditText(text);
}

QString dateBoxText(const QVariant& value)
{
    const QString dashed = QStringLiteral("yyyy-MM-dd");
    // The time goes into the box too, or the next Modify would drop it.
    const auto shown = [&dashed](const QDateTime& at) {
        return at.toString(at.time() == QTime(0, 0) ? dashed : dashed + QStringLiteral(" H:mm"));
    };
    if (value.isNull()) return {};
    if (value.typeId() == QMetaType::QDateTime) return shown(value.toDateTime());
    if (value.typeId() == QMetaType::QDate) return value.toDate().toString(dashed);
    const QString text = value.toString();
    if (const auto parsed = store::parseDateText(text)) return shown(*parsed);
    return text;
}

FieldBindings& FieldBindings::bind(QWidget* box, const QString& column,
                                   FieldBinding::Display display, FieldBinding::Empty empty)
{
    m_bindings.append({box, column, display, empty, true});
    return *this;
}

FieldBindings& FieldBindings::show(QWidget* box, const QString& column)
{
    m_bindings.append(
        {box, column, FieldBinding::Display::Text, FieldBinding::Empty::NothingOrNull, false});
    return *this;
}

FieldBindings& FieldBindings::compute(const QString& column,
                                      std::function<std::optional<QVariant>(Mode)> value)
{
    m_computed.append({column, std::move(value)});
    return *this;
}

FieldBindings& FieldBindings::addOnly(const QString& column, std::function<QString()> value)
{
    return compute(column, [value = std::move(value)](Mode mode) -> std::optional<QVariant> {
        if (mode != Mode::Add) return std::nullopt;
        const QString text = value();
        if (text.isEmpty()) return std::nullopt;
        return QVariant(text);
    });
}

void FieldBindings::fillBoxes(const store::Recordset& cursor, const QWidget* kept) const
{
    for (const FieldBinding& b : m_bindings) {
        if (b.box == kept) continue;
        const QVariant value = cursor.field(b.column);
        setBoxText(b.box, b.display == FieldBinding::Display::Date ? dateBoxText(value)
                                                                   : cursor.text(b.column));
    }
}

void FieldBindings::clearBoxes() const
{
    for (const FieldBinding& b : m_bindings)
        setBoxText(b.box, QString());
}

void FieldBindings::collect(store::Recordset& cursor, Mode mode) const
{
    for (const FieldBinding& b : m_bindings) {
        if (!b.written) continue;
        const QString text = boxText(b.box);
        if (!text.isEmpty()) {
            cursor.collect(b.column, text);
            continue;
        }
        switch (b.empty) {
        case FieldBinding::Empty::NothingOrNull:
            if (mode == Mode::Modify) cursor.collect(b.column, QVariant());
            break;
        case FieldBinding::Empty::EmptyText:
            cursor.collect(b.column, QString(""));
            break;
        case FieldBinding::Empty::Hundred:
            cursor.collect(b.column, QStringLiteral("100"));
            break;
        }
    }
    for (const ComputedColumn& c : m_computed)
        if (const std::optional<QVariant> value = c.value(mode)) cursor.collect(c.column, *value);
}

} // namespace recordbook
