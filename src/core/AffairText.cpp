#include "core/AffairText.h"

#include "lunar/LunarSchedule.h"

namespace core {

QString composeStoredAffair(const AffairBoxes& b)
{
    const QString gap = QStringLiteral("  ");
    QString summary;
    auto part = [&](const QString& label, const QString& text) {
        if (!text.isEmpty()) summary += label + text + gap;
    };
    part(QStringLiteral("时间点："), b.sjd);
    if (!b.qssj.isEmpty() && !b.jssj.isEmpty())
        summary += QStringLiteral("起始时间：") + b.qssj + gap + QStringLiteral("结束时间：") +
                   b.jssj + gap;
    part(QStringLiteral("每月时间："), b.mysj);
    if (b.mzsj != kNoWeekday) part(QStringLiteral("每周时间："), b.mzsj);
    part(QStringLiteral("每日时间："), b.mrsj);
    part(QStringLiteral("每月每日时间："), b.mymrsj);
    part(QStringLiteral("农历每年时间："), lunar::yearlyWords(b.nlmnsj));
    part(QStringLiteral("农历每月时间："), lunar::monthlyWords(b.nlmysj));
    part(QStringLiteral("联系人："), b.lxr);
    part(QStringLiteral("联系地点："), b.lxdd);
    part(QStringLiteral("家庭住址："), b.jtzz);
    part(QStringLiteral("联系人手机："), b.sj);
    part(QStringLiteral("联系人电话："), b.dh);

    const QString crlf = QStringLiteral("\r\n");
    return summary + kAffairMarker + crlf + b.affair + crlf + QString(88, u'-');
}

} // namespace core
