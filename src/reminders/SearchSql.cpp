#include "reminders/SearchSql.h"

#include "store/JetSql.h"

namespace reminders {

namespace {

const QString kSelect = QStringLiteral("select  * from mp where 要事=");
const QString kOrLike = QStringLiteral(" or 要事 like ");

// A like clause whose %, _ and \ in the user's text are plain characters.
QString likeClause(const QString& pattern)
{
    return kOrLike + store::quoted(pattern) + store::likeEscapeClause();
}

QString containing(const QString& piece)
{
    return QStringLiteral("%") + store::likeLiteral(piece) + QStringLiteral("%");
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

QString substringSearchSql(const QString& s)
{
    return kSelect + store::quoted(s) + likeClause(containing(s));
}

QString anyCharSearchSql(const QString& s)
{
    QString sql = kSelect + store::quoted(s);
    qsizetype at = 0;
    for (int i = 0; i < 6; ++i) {
        QString pattern;
        if (at < s.size()) {
            // A character outside the basic plane is one character, not two halves.
            const qsizetype width = s.at(at).isHighSurrogate() && at + 1 < s.size() ? 2 : 1;
            pattern = containing(s.mid(at, width));
            at += width;
        }
        sql += likeClause(pattern);
    }
    return sql;
}

} // namespace reminders
