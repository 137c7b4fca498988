#include "core/AffairText.h"

#include "lunar/LunarSchedule.h"

namespace core {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString closingRule()
{
    return kCrLf + QString(88, u'-');
}

} // namespace

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

    return summary + kAffairMarker + kCrLf + b.affair + closingRule();
}

QString affairWithoutStoredFrame(const QString& box, const QString& stored)
{
    const qsizetype marker = stored.indexOf(kAffairMarker);
    // The summary is the first line only.
    if (marker < 0 || stored.left(marker).contains(u'\n') || stored.left(marker).contains(u'\r'))
        return box;
    const QString head = stored.left(marker + kAffairMarker.size()) + kCrLf;
    const QString tail = closingRule();
    if (box.size() < head.size() + tail.size() || !box.startsWith(head) || !box.endsWith(tail))
        return box;
    return box.mid(head.size(), box.size() - head.size() - tail.size());
}

StoredAffair readStoredAffair(const QString& stored)
{
    // The boxes of the summary hold one line each, so the first marker
    // followed by CR LF ends it.
    const QString head = kAffairMarker + QStringLiteral("\r\n");
    const qsizetype marker = stored.indexOf(head);
    if (marker < 0) return {QString(), stored, false};
    QString body = stored.mid(marker + head.size());
    const QString tail = QStringLiteral("\r\n") + QString(88, u'-');
    if (body.endsWith(tail)) body.chop(tail.size());
    return {stored.left(marker), body, true};
}

} // namespace core
