#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace store {

class Connection;

inline constexpr int kDailyBackupsKept = 14;
inline constexpr int kDeletionBackupsKept = 10;

// Copies an open database with SQLite's online backup, never as a file copy
// of a live book: the copy is written beside `target` and renamed into
// place, so a failure leaves no half copy. Throws StoreError (Chinese).
void backupDatabase(sqlite3* source, const QString& target);
// The same from the book file, opened read-only (it may be in use).
void backupBook(const QString& book, const QString& target);

// The first start of a day copies the book to backups/daily-YYYY-MM-DD.mdb;
// later starts that day find that copy and do nothing. Returns the copy
// made, or empty. Keeps the newest kDailyBackupsKept.
QString dailyBackup(const QString& book, const QString& backups, QDate today);

// A copy right before a command deletes rows (`reason` in the name, ASCII);
// keeps the newest kDeletionBackupsKept of these.
QString backupBeforeDeleting(Connection& book, const QString& backups, const QString& reason,
                             const QDateTime& now);

// Empty when `path` is a readable, undamaged Lumo book (its seven tables
// with at least their first columns); otherwise what is wrong, in Chinese.
QString lumoBookProblem(const QString& path);

// Replaces the book's content with the book `source` after checking it,
// keeping the replaced book as one more backup. The caller makes sure no
// organiser holds the book. Returns that backup's path (empty when there
// was no book to keep). Throws StoreError (Chinese), the book untouched.
QString restoreBook(const QString& source, const QString& book, const QString& backups,
                    const QDateTime& now);

// What the user reads when a backup failed; the command goes on.
QString backupFailedText(const QString& error);

// The copies of one kind, oldest first.
QStringList dailyBackups(const QString& backups);
QStringList deletionBackups(const QString& backups);

} // namespace store
