#pragma once

#include <QString>

class QDate;

namespace core {

// The condition an affair is expired under on `today`: its time point or
// the end of its period lies before that day.
QString expiredCondition(const QDate& today);

} // namespace core
