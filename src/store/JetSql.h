#pragma once

#include <QString>

namespace store {

// Translates the statement dialect the windows speak into SQLite:
// "delete * from" becomes "delete from", #date# literals become quoted ISO
// dates. Text between single quotes is never touched.
QString translateJetSql(const QString& sql);

// The one way user text enters SQL: between single quotes, with quotes doubled;
// any character, NUL included, comes back as itself.
QString quoted(const QString& text);

// The body of a like pattern that matches `text` literally; pair it with
// likeEscapeClause() so %, _ and the escape character lose their meaning.
QString likeLiteral(const QString& text);
inline constexpr char kLikeEscape = '\\';
inline QString likeEscapeClause()
{
    return QStringLiteral(" escape '\\'");
}

// The body is not quoted yet: "like " + quoted("%" + likeLiteral(t) + "%") +
// likeEscapeClause(). containsPattern(t) is exactly that, ready to append.
QString containsPattern(const QString& text);

} // namespace store
