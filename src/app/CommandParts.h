#pragma once

// What the command line's parts share; for CommandLine and its command files only.

#include "app/CommandLine.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

namespace platform {
class Clock;
}
namespace store {
struct BookPlace;
}

namespace app::detail {

inline constexpr int kUsageError = 2;
inline constexpr int kRefused = 1;
inline constexpr int kOutputError = 1;

Command failure(const QString& message);
std::optional<QDate> parseDay(const QString& text);

// Encodes piece by piece; false when the device refused some of the text.
bool writeText(QIODevice& device, const QString& text);
// An absolute path in the platform's form, for messages.
QString native(const QString& path);

// rmd --due: the due list of `today`.
QString readDueList(const QString& database, const QDate& today);
// rmd --backup FILE and rmd --restore FILE.
int backup(const QString& file, const store::BookPlace& place, QIODevice& out, QIODevice& err);
int restore(const QString& file, const store::BookPlace& place, const platform::Clock& clock,
            QIODevice& out, QIODevice& err);
// rmd --export-ics FILE [--rscale] and rmd --import-ics FILE.
int exportIcs(const Command& command, const QString& book, const platform::Clock& clock,
              QIODevice& out, QIODevice& err);
int importIcs(const QString& path, const QString& book, QIODevice& out, QIODevice& err);
// rmd --lunar YYYY-MM-DD and rmd --solar YYYY-[闰]M-D.
bool isConversion(const QString& argument);
Command parseConversion(const QStringList& own);

} // namespace app::detail
