#include "core/SearchStatements.h"

#include "store/JetSql.h"
#include "store/Recordset.h"

namespace core {

namespace {

QString containing(const QString& piece)
{
    return u'%' + store::likeLiteral(piece) + u'%';
}

// The column's text collation stops comparing at a NUL, so "a", NUL, "b" would
// equal "a". A text holding a NUL is compared folded instead; lower() folds
// ASCII only, as the collation does. The store's like reads NULs as characters.
QString lowered(const QString& sql)
{
    return QStringLiteral("lower(") + sql + u')';
}

QString likeTerm(const QString& column, const QString& pattern)
{
    return QStringLiteral(" or ") + column + QStringLiteral(" like ") + store::quoted(pattern) +
           store::likeEscapeClause();
}

QString containsTerm(const QString& column, const QString& piece)
{
    return likeTerm(column, containing(piece));
}

QString exactTerm(const QString& head, const QString& column, const QString& s)
{
    if (s.contains(QChar(0))) return head + lowered(column) + u'=' + lowered(store::quoted(s));
    return head + column + u'=' + store::quoted(s);
}

bool blank(const QString& text)
{
    for (const QChar c : text)
        if (c != u' ') return false;
    return true;
}

} // namespace

QString searchText(const QString& boxText)
{
    qsizetype first = 0;
    qsizetype last = boxText.size();
    while (first < last && boxText.at(first) == u' ')
        ++first;
    while (last > first && boxText.at(last - 1) == u' ')
        --last;
    return boxText.mid(first, last - first);
}

QString substringStatement(const QString& head, const QString& column, const QString& s)
{
    return exactTerm(head, column, s) + containsTerm(column, s);
}

QString anyCharStatement(const QString& head, const QString& column, const QString& s)
{
    QString sql = exactTerm(head, column, s);
    qsizetype at = 0;
    for (int i = 0; i < 6; ++i) {
        if (at < s.size()) {
            // A character outside the basic plane is one character, not two halves.
            const qsizetype width = s.at(at).isHighSurrogate() && at + 1 < s.size() ? 2 : 1;
            sql += containsTerm(column, s.mid(at, width));
            at += width;
        } else {
            sql += likeTerm(column, QString());
        }
    }
    return sql;
}

QString distinctStatement(const QString& table, const QString& column)
{
    return QStringLiteral("select distinct ") + column + QStringLiteral(" from ") + table;
}

QString keywordOverview(store::Recordset& cursor)
{
    QString out;
    for (cursor.moveFirst(); !cursor.eof(); cursor.moveNext()) {
        const QString keyword = cursor.text(0);
        if (!blank(keyword)) out += QStringLiteral("  ") + keyword;
    }
    return out;
}

} // namespace core
