#include "platform/Clock.h"

#include <QRegularExpression>
#include <cstdio>

namespace platform {

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

QDateTime FixedDayClock::now() const
{
    return QDateTime(m_day, QTime::currentTime());
}

std::unique_ptr<Clock> createClock(const QString& fixedDay, QString* warning)
{
    const QString text = fixedDay.trimmed();
    if (text.isEmpty()) return std::make_unique<SystemClock>();
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(text);
    const QDate day = match.hasMatch() ? QDate(match.captured(1).toInt(), match.captured(2).toInt(),
                                               match.captured(3).toInt())
                                       : QDate();
    if (day.isValid()) return std::make_unique<FixedDayClock>(day);
    if (warning)
        *warning = QStringLiteral("%1 的值“%2”不是日期（应写成 2004-05-20），按系统日期运行。")
                       .arg(QLatin1String(kFixedDayVariable), fixedDay);
    return std::make_unique<SystemClock>();
}

std::unique_ptr<Clock> clockFromEnvironment()
{
    QString warning;
    std::unique_ptr<Clock> clock = createClock(qEnvironmentVariable(kFixedDayVariable), &warning);
    if (!warning.isEmpty()) std::fprintf(stderr, "%s\n", warning.toLocal8Bit().constData());
    return clock;
}

} // namespace platform
