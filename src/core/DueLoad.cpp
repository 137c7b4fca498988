#include "core/DueLoad.h"

#include "core/DueList.h"
#include "core/Settings.h"
#include "store/Recordset.h"

namespace core {

DueOutcome runDueEvaluation(store::Recordset& affairs, const QDate& today)
{
    DueOutcome outcome;
    if (affairs.recordCount() < 1) return outcome;
    outcome.evaluated = true;
    outcome.list = dueListOf(affairs, today);
    return outcome;
}

void storeDueOutcome(const DueOutcome& outcome, store::Recordset& settings,
                     store::Recordset& affairs)
{
    if (!outcome.evaluated) return;
    affairs.moveFirst();

    ensureSettingsRow(settings);
    settings.collect(QStringLiteral("zdtxsw"), outcome.list.isEmpty() ? kNothingDue : outcome.list);
    settings.update();

    // Most books have no empty affair: find out from the snapshot before
    // walking and reading every text.
    const int text = affairs.columnIndex(QStringLiteral("要事"));
    bool anyEmpty = false;
    for (int r = 0; r < affairs.recordCount() && !anyEmpty; ++r)
        anyEmpty = affairs.stored(r, text).isEmpty();
    if (!anyEmpty) {
        affairs.moveLast();
        affairs.moveNext();
        return;
    }
    for (affairs.moveFirst(); !affairs.eof(); affairs.moveNext()) {
        if (affairs.text(text).isEmpty()) affairs.deleteCurrent();
    }
}

} // namespace core
