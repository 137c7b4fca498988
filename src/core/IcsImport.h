#pragma once

#include "core/AffairRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QFileDevice;
#include <vector>

namespace store {
class Connection;
}

namespace core {

// The table that remembers every imported event's UID, so a file imported
// twice adds nothing the second time.
inline const QString kImportedUidTable = QStringLiteral("ics_uid");

// What an import did, for the user.
struct ImportReport {
    QString refusal; // not empty: the file was refused as a whole and nothing was added
    QString note;    // about the file as a whole (its encoding, characters removed)
    int events = 0;  // events the file holds
    int imported = 0;
    int affairs = 0;      // affairs added; several events of one exported affair make one
    QStringList skipped;  // one line per skipped event: which and why
    QStringList expanded; // one line per event that became several affairs: how
    QStringList lines;    // one line per event, imported or not
    QString summary() const;
    // The first `shown` skip reasons, then how many more there are.
    QStringList firstReasons(int shown = 20) const;
    // The same for the events that were expanded.
    QStringList firstExpansions(int shown = 20) const;
    // Writes the summary and every event's line to kReportFileName in the
    // book's folder; the file's path, or empty when it cannot be written.
    QString saveBeside(const QString& book) const;
};

inline const QString kReportFileName = QStringLiteral("日历导入报告.txt");
QString reportSavedText(const QString& path);
QString cannotOpenText(const QString& path, const QFileDevice& file);

// One event of the file as an affair, or why it cannot be one. An event
// whose rule Lumo holds as several affairs gives one of these for each.
struct EventAffair {
    AffairRecord record;
    int number = 0;    // the event's place in the file, from 1
    int part = 0;      // which of its affairs, from 0
    QString expansion; // with several affairs: how the event was expanded
    QByteArray uid;    // with several affairs, each has its own
    QByteArray group;  // events of one exported affair share it; empty otherwise
    QString title;
    QString reason; // empty when `record` holds the affair
};

// The file as UTF-8 without NUL characters; a file that is not a whole
// calendar gives a refusal (and an empty result).
QByteArray checkedCalendar(QByteArray file, QString& refusal, QString& note);
// The events of a checked calendar, in order, each as it is read.
void forEachEvent(const QByteArray& calendar, const std::function<void(EventAffair&&)>& take);

// Adds the file's events to the book as affairs in one transaction (inside a
// running command, as part of it); on any failure of the store nothing is
// added and the error is thrown on (store::StoreError).
ImportReport importCalendar(store::Connection& connection, const QByteArray& file);

} // namespace core
