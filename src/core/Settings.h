#pragma once

#include <QString>
#include <optional>

namespace store {
class Recordset;
}

namespace core {

// The one query the settings row of ma (password, stored due list) is read with.
inline const QString kPasswordSql = QStringLiteral("select*  from ma");
// A stored password equal to this switches the login prompt off.
inline const QString kNoPasswordMarker = QStringLiteral("wkfn");

// The password of a fresh book.
inline const QString kInitialPassword = QStringLiteral("6158");

// Column 0 of the current row; nothing when it is null. A book whose ma row
// was lost reads as a fresh one: its password is the initial one.
std::optional<QString> storedPassword(const store::Recordset& recordset);

// Moves `settings` (opened on kPasswordSql) to its row, first adding one with
// the initial password when ma has none, so the next update stores the row.
void ensureSettingsRow(store::Recordset& settings);

// Exact, case-sensitive and untrimmed; a null password matches no input.
bool passwordMatches(const QString& typed, const std::optional<QString>& stored);

} // namespace core
