#include "notify/Digest.h"

namespace notify {

namespace {

QString linesOf(const QList<DueAffair>& affairs, bool withTime)
{
    QStringList lines;
    for (qsizetype i = 0; i < affairs.size() && i < kDigestLines; ++i) {
        const QString headline = affairHeadline(affairs[i].text);
        lines << (withTime ? affairs[i].time.toString(QStringLiteral("HH:mm ")) + headline
                           : headline);
    }
    if (affairs.size() > kDigestLines)
        lines << QStringLiteral("还有 %1 件").arg(affairs.size() - kDigestLines);
    return lines.join(u'\n');
}

} // namespace

platform::Notification dayDigest(const QList<DueAffair>& affairs, const QString& icon)
{
    platform::Notification n;
    n.summary = QStringLiteral("今日要事 %1 件").arg(affairs.size());
    n.body = linesOf(affairs, false);
    n.icon = icon;
    n.actions = {kOpenAction, QStringLiteral("打开 Lumo")};
    return n;
}

platform::Notification timedNotice(const DueAffair& affair, const QString& icon)
{
    platform::Notification n;
    n.summary = QStringLiteral("要事 %1").arg(affair.time.toString(QStringLiteral("HH:mm")));
    n.body = affairHeadline(affair.text);
    n.icon = icon;
    return n;
}

platform::Notification missedNotice(const QList<DueAffair>& affairs, const QString& icon)
{
    platform::Notification n;
    n.summary = QStringLiteral("今天已过时间的要事 %1 件").arg(affairs.size());
    n.body = linesOf(affairs, true);
    n.icon = icon;
    return n;
}

} // namespace notify
