#pragma once

#include <QString>
#include <optional>

namespace app {

// The book's name for the single-instance lock and socket: the same for
// every spelling of its path, different for every user and every book.
QString instanceKey(const QString& bookPath);

// This user's private folder for the lock and the socket: the runtime
// folder, else "lumo-<uid>" in the temporary folder (made 0700), else in
// /tmp when the temporary folder's path leaves no room for a socket name. A
// folder another user owns, or can enter, is never used.
std::optional<QString> instanceFolder(const QString& key);

// The lock file an organiser holds while it has the book open; empty when
// no private folder could be had.
QString instanceLockPath(const QString& key);
// The organiser's socket; empty when no private folder could be had.
QString instanceSocketPath(const QString& key);

} // namespace app
