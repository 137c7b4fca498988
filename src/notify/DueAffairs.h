#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

namespace store {
class Connection;
}

namespace notify {

// One affair of the book as a notification names it.
struct DueAffair {
    QString text; // 要事 as stored
    QTime time;   // the time of day of 时间点; invalid when it holds none
};

// The affairs due on `day`, each once however many tests it passes, in
// the order the book lists them. Throws store::StoreError.
QList<DueAffair> dueAffairs(store::Connection& connection, const QDate& day);

// The affairs whose 时间点 falls on `day` at a time of day other than
// midnight, earliest first. A malformed time is left out.
QList<DueAffair> timedAffairs(store::Connection& connection, const QDate& day);

// The first line of the affair's own text: the line after the summary
// line and its marker; the summary line when the own text is empty.
QString affairHeadline(const QString& stored);

// Names an affair across runs, for the once-a-day record.
QString affairKey(const QString& stored);

} // namespace notify
