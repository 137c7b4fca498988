#pragma once

#include <QString>

namespace app {

// The book's name for the single-instance lock and socket: the same for
// every spelling of its path, different for every user and every book.
QString instanceKey(const QString& bookPath);

// The lock file an organiser holds while it has the book open.
QString instanceLockPath(const QString& key);

} // namespace app
