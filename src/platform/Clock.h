#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <memory>

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

// A day that stands still while the time of day runs on, so the alarm still
// counts down on a demonstration day.
class FixedDayClock : public Clock {
public:
    explicit FixedDayClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }
    QDateTime now() const override;

private:
    QDate m_day;
};

// Name of the environment variable that fixes the day of a run (yyyy-MM-dd),
// used to record the tutorials and to show a given day's due list.
inline constexpr char kFixedDayVariable[] = "LUMO_TODAY";

// The clock for a run: the system's, or a fixed day when `fixedDay` (the
// variable's value) names one. A value that is not a date gives the system
// clock and a Chinese warning in `warning`.
std::unique_ptr<Clock> createClock(const QString& fixedDay, QString* warning);

// createClock() on the variable's value; a warning goes to stderr.
std::unique_ptr<Clock> clockFromEnvironment();

} // namespace platform
