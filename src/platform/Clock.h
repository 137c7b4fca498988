#pragma once

#include <QDate>
#include <QDateTime>

namespace platform {

// The only way the program learns the date and time, so that due lists and
// the alarm can be tested on any day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override;
    QDateTime now() const override;
};

} // namespace platform
