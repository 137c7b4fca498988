#pragma once

#include <QString>
#include <optional>

class QLineEdit;

namespace store {
class Recordset;
}

namespace shell {

// The one query every password dialog reads the stored password with.
inline const QString kPasswordSql = QStringLiteral("select*  from ma");
// A stored password equal to this switches the login prompt off.
inline const QString kNoPasswordMarker = QStringLiteral("wkfn");

// Column 0 of the current row; nothing when it is null or there is no row.
std::optional<QString> storedPassword(const store::Recordset& recordset);

// Exact, case-sensitive and untrimmed; a null password matches no input.
bool passwordMatches(const QString& typed, const std::optional<QString>& stored);

// After a refused attempt: focus in the box, caret from the start, all text selected.
void selectForRetry(QLineEdit* box);

} // namespace shell
