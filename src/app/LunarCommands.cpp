#include "app/CommandParts.h"

#include "lunar/LunarCalendar.h"
#include "lunar/LunarWords.h"
#include <QRegularExpression>

namespace app::detail {

namespace {

// "2025-闰6-1" or "2027-8-8": a lunar year, month and day.
std::optional<lunar::LunarDate> parseLunarDay(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(闰?)(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    const lunar::LunarDate day{match.captured(1).toInt(), match.captured(3).toInt(),
                               !match.captured(2).isEmpty(), match.captured(4).toInt()};
    if (!lunar::toSolar(day).isValid()) return std::nullopt;
    return day;
}

} // namespace

// rmd --lunar YYYY-MM-DD and rmd --solar YYYY-[闰]M-D, each alone.
Command parseConversion(const QStringList& own)
{
    const QString option = own.first().section(u'=', 0, 0);
    QString value;
    if (own.first().contains(u'=') && own.size() == 1)
        value = own.first().section(u'=', 1);
    else if (!own.first().contains(u'=') && own.size() == 2)
        value = own[1];
    else
        return failure(
            QStringLiteral("%1 后面应恰好跟一个日期，且不能与其他参数一起使用。").arg(option));
    Command command;
    if (option == QStringLiteral("--lunar")) {
        command.kind = Command::Kind::Lunar;
        command.date = parseDay(value);
        if (!command.date || !lunar::inRange(*command.date))
            return failure(QStringLiteral("日期“%1”无效：应是 1901-01-01 到 2100-12-31 之间 "
                                          "YYYY-MM-DD 形式的真实公历日期，例如 2027-09-08。")
                               .arg(value));
        return command;
    }
    command.kind = Command::Kind::Solar;
    const std::optional<lunar::LunarDate> day = parseLunarDay(value);
    if (!day)
        return failure(QStringLiteral("农历日期“%1”无效：应写成 年-月-日，闰月在月份前加“闰”，"
                                      "例如 2027-8-8、2025-闰6-1，且在 1901 到 2100 年之间实有"
                                      "这一天。")
                           .arg(value));
    command.lunarDate = *day;
    return command;
}

bool isConversion(const QString& argument)
{
    const QString option = argument.section(u'=', 0, 0);
    return option == QStringLiteral("--lunar") || option == QStringLiteral("--solar");
}

} // namespace app::detail
