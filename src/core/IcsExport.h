#pragma once

#include "core/AffairRecord.h"

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <vector>

class QFileDevice;

namespace platform {
class Clock;
}

namespace core {

// Lunar schedules become one dated event per occurrence over this many years
// from the export day, so that every calendar shows the right day.
inline constexpr int kLunarExportYears = 20;

struct IcsExport {
    QByteArray calendar; // UTF-8, CR LF lines folded at 75 octets
    int affairs = 0;     // records that gave at least one event
    int events = 0;
    bool written = true; // false: the device refused some of it
};

// An iCalendar file of `records`: one event per schedule kind a record
// carries, read the way the due list reads it, so the calendar's days are
// the due days. Repeating kinds start on their first day on or after the
// clock's today. With `lunarRule`, a lunar schedule is one event with a
// Chinese-calendar rule instead of dated events.
IcsExport exportCalendar(const std::vector<AffairRecord>& records, const platform::Clock& clock,
                         bool lunarRule = false);
// The same written to `out` as it is made; `calendar` stays empty.
IcsExport exportCalendar(const std::vector<AffairRecord>& records, const platform::Clock& clock,
                         QIODevice& out, bool lunarRule = false);

// What the user is told after an export to `path`, and when `path` cannot be written.
QString exportedText(const IcsExport& result, const QString& path);
QString cannotWriteText(const QString& path, const QFileDevice& file);

// The X-LUMO-STORED value of a record and its reading; a value that is not
// one gives false.
QByteArray storedValue(const AffairRecord& record);
QByteArray storedValue(const Utf8Record& record);
bool readStoredValue(QByteArrayView value, AffairRecord& record);

// The X-LUMO-STORED line of a stored value, folded as libical folds it: the
// value is base64, so there is nothing to escape and nowhere else to fold.
// Written here because libical took a third of a large export over it.
inline constexpr int kFoldedLine = 75;
QByteArray storedProperty(const QByteArray& value);

// The affair text without the summary line and the closing dash line.
QString affairTextOf(const QString& stored);

} // namespace core
