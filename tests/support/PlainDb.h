#pragma once

#include <QStringList>

// A database file read and written on a connection of its own, straight through
// SQLite's C API, so that a check never trusts the store it checks.
// Null reads "<null>"; failures throw std::runtime_error with SQLite's message.

// Every row of every statement in `sql`, its cells joined by '|'.
QStringList plainRows(const QString& path, const QString& sql);
QStringList plainColumn(const QString& path, const QString& sql); // the first cell of every row
QString plainScalar(const QString& path, const QString& sql);     // empty when there is no row
void plainExec(const QString& path, const QString& sql);
