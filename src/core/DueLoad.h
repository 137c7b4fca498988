#pragma once

#include <QDate>
#include <QString>

namespace store {
class Recordset;
}

namespace core {

// What the reminder window's start-up evaluation found. `evaluated` is false
// when the affair cursor held no record: then nothing is stored or deleted.
struct DueOutcome {
    bool evaluated = false;
    QString list; // the due list; empty when nothing is due
};

// Shown and stored when nothing is due.
inline const QString kNothingDue = QStringLiteral("目前没有重要事务提醒");

// Evaluates the records `affairs` (opened on "select*  from mp") holds, in
// cursor order, for `today`. Writes nothing and leaves the cursor where it
// is.
DueOutcome runDueEvaluation(store::Recordset& affairs, const QDate& today);

// The window's follow-up to an evaluation: moves `affairs` to its first
// record, writes the list (or kNothingDue) into zdtxsw of the first row of
// `settings` (opened on "select*  from ma"; a lost row is made again) and
// saves it, then deletes every
// affair whose 要事 is null or empty. Does nothing when the outcome was not
// evaluated. Leaves `affairs` at EOF. Throws store::StoreError.
void storeDueOutcome(const DueOutcome& outcome, store::Recordset& settings,
                     store::Recordset& affairs);

} // namespace core
