#include "DateText.h"

#include <QRegularExpression>

namespace store {

namespace {

std::optional<QDateTime> build(int year, int month, int day, int hour, int minute, int second)
{
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    // UTC: in some zones a summer-time day has no local midnight.
    return QDateTime(date, QTime(hour, minute, second), Qt::UTC);
}

} // namespace

std::optional<QDateTime> parseDateText(const QString& text)
{
    // One separator throughout the date part; 'T' only in the ISO form.
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4})([-/.])(\d{1,2})\2(\d{1,2})(?:(?: +|(?<=\d)T)(\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch m = pattern.match(trimmed);
    if (!m.hasMatch()) return std::nullopt;
    const bool hasTime = m.capturedLength(5) > 0;
    if (hasTime && m.captured(2) != QLatin1String("-") && trimmed.contains(QLatin1Char('T')))
        return std::nullopt;
    return build(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt(),
                 hasTime ? m.captured(5).toInt() : 0, hasTime ? m.captured(6).toInt() : 0,
                 m.capturedLength(7) > 0 ? m.captured(7).toInt() : 0);
}

QString toStoredDate(const QDateTime& value)
{
    if (!value.isValid()) return QString();
    const QTime time = value.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return value.date().toString(QStringLiteral("yyyy-MM-dd"));
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {

struct StoredParts {
    QDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Read for every date cell of a large book: parsed by hand, and without a
// QDateTime, whose local-time conversion is the slow part.
std::optional<StoredParts> parseStored(const QString& stored)
{
    const qsizetype size = stored.size();
    if (size != 10 && size != 19) return std::nullopt;
    auto number = [&](qsizetype from, qsizetype length) {
        int value = 0;
        for (qsizetype i = from; i < from + length; ++i) {
            const char16_t c = stored.at(i).unicode();
            if (c < u'0' || c > u'9') return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    auto is = [&](qsizetype at, char16_t c) { return stored.at(at).unicode() == c; };
    if (!is(4, u'-') || !is(7, u'-')) return std::nullopt;
    StoredParts parts;
    if (size == 19) {
        if (!is(10, u' ') || !is(13, u':') || !is(16, u':')) return std::nullopt;
        parts.hour = number(11, 2);
        parts.minute = number(14, 2);
        parts.second = number(17, 2);
        if (parts.hour < 0 || parts.hour > 23 || parts.minute < 0 || parts.minute > 59 ||
            parts.second < 0 || parts.second > 59)
            return std::nullopt;
    }
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 0 || month < 0 || day < 0) return std::nullopt;
    parts.date = QDate(year, month, day);
    if (!parts.date.isValid()) return std::nullopt;
    return parts;
}

} // namespace

std::optional<QDateTime> fromStoredDate(const QString& stored)
{
    const std::optional<StoredParts> parts = parseStored(stored);
    if (!parts) return std::nullopt;
    return QDateTime(parts->date, QTime(parts->hour, parts->minute, parts->second), Qt::UTC);
}

std::optional<QString> storedDateDisplayText(const QString& stored)
{
    const std::optional<StoredParts> parts = parseStored(stored);
    if (!parts) return std::nullopt;
    QString text = shortDateText(parts->date);
    if (parts->hour || parts->minute || parts->second)
        text += QStringLiteral(" %1:%2:%3")
                    .arg(parts->hour)
                    .arg(parts->minute, 2, 10, QLatin1Char('0'))
                    .arg(parts->second, 2, 10, QLatin1Char('0'));
    return text;
}

QString shortDateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-M-d"));
}

} // namespace store
