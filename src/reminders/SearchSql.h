#pragma once

#include <QString>

namespace reminders {

// The search text as the searches use it: blanks at both ends removed,
// inner blanks kept.
QString searchText(const QString& boxText);

// Records whose stored text equals `s` or contains it as one piece.
QString substringSearchSql(const QString& s);

// Records whose stored text equals `s` or contains any one of its first six
// characters. Always the exact clause and six like clauses; a clause for a
// character `s` does not have matches only the empty text.
QString anyCharSearchSql(const QString& s);

} // namespace reminders
