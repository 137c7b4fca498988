#include "platform/Clock.h"

namespace platform {

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace platform
