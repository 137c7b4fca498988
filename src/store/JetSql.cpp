#include "JetSql.h"

#include "DateText.h"

#include <QRegularExpression>

namespace store {

namespace {

// Rewrites one stretch of statement text that lies outside any quotes.
QString translateBare(const QString& bare)
{
    static const QRegularExpression deleteStar(QStringLiteral(R"(\bdelete\s*\*\s*from\b)"),
                                               QRegularExpression::CaseInsensitiveOption |
                                                   QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression dateLiteral(QStringLiteral("#([^#]*)#"));

    QString out = bare;
    out.replace(deleteStar, QStringLiteral("delete from"));

    if (!out.contains(QLatin1Char('#'))) return out;
    QString result;
    qsizetype last = 0;
    auto it = dateLiteral.globalMatch(out);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const std::optional<QDateTime> date = parseDateText(m.captured(1));
        if (!date) continue; // left as written: the engine reports it
        result += QStringView(out).mid(last, m.capturedStart() - last);
        result += quoted(toStoredDate(*date));
        last = m.capturedEnd();
    }
    result += QStringView(out).mid(last);
    return result;
}

} // namespace

QString translateJetSql(const QString& sql)
{
    QString result;
    result.reserve(sql.size() + 8);
    qsizetype bareStart = 0;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql.at(i);
        QChar close;
        if (c == QLatin1Char('\''))
            close = QLatin1Char('\'');
        else if (c == QLatin1Char('"'))
            close = QLatin1Char('"');
        else if (c == QLatin1Char('['))
            close = QLatin1Char(']');
        if (close.isNull()) {
            ++i;
            continue;
        }
        result += translateBare(sql.mid(bareStart, i - bareStart));
        // A doubled closing character inside quotes stands for itself.
        qsizetype j = i + 1;
        while (j < n) {
            if (sql.at(j) == close) {
                if (close != QLatin1Char(']') && j + 1 < n && sql.at(j + 1) == close) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        const qsizetype end = qMin(j + 1, n);
        result += QStringView(sql).mid(i, end - i);
        i = end;
        bareStart = end;
    }
    result += translateBare(sql.mid(bareStart));
    return result;
}

QString quoted(const QString& text)
{
    QString body = text;
    body.replace(QLatin1Char('\''), QLatin1String("''"));
    if (!body.contains(QChar(0))) return QLatin1Char('\'') + body + QLatin1Char('\'');
    // The engine ends a statement at a NUL, and joining pieces around each
    // one deepens the statement with every NUL: spell the text in hex.
    return QLatin1String("cast(x'") + QLatin1String(text.toUtf8().toHex()) +
           QLatin1String("' as text)");
}

QString likeLiteral(const QString& text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char(kLikeEscape) || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char(kLikeEscape);
        out += c;
    }
    return out;
}

QString containsPattern(const QString& text)
{
    return quoted(QLatin1Char('%') + likeLiteral(text) + QLatin1Char('%')) + likeEscapeClause();
}

} // namespace store
