#pragma once

#include <QByteArray>
#include <QString>

// One member of a zip file (a saved workbook), read with libzip directly so
// tests never trust the code that wrote it; empty when missing.
QByteArray zipEntry(const QString& path, const char* name);
