#pragma once

#include <QString>

namespace store {
class Recordset;
}

namespace core {

// The search text as every search uses it: blanks at both ends removed,
// inner blanks kept.
QString searchText(const QString& boxText);

// Records whose `column` equals `s` or contains it as one piece. `head` is
// the statement up to the column, spaced as each window writes it, e.g.
// "select  * from mp where ". The user's text is matched literally.
QString substringStatement(const QString& head, const QString& column, const QString& s);

// Records whose `column` equals `s` or contains any one of its first six
// characters: always the exact term and six like terms; a term for a
// character `s` does not have matches only the empty text.
QString anyCharStatement(const QString& head, const QString& column, const QString& s);

// "select distinct <column> from <table>".
QString distinctStatement(const QString& table, const QString& column);

// The keyword overview: for each row of `cursor` whose first column is not
// blank, two blanks and the value as stored. Walks the cursor to its end.
QString keywordOverview(store::Recordset& cursor);

} // namespace core
