#pragma once

#include "notify/DueAffairs.h"
#include "platform/Notifier.h"

namespace notify {

inline constexpr int kDigestLines = 10;
inline const QString kOpenAction = QStringLiteral("open");

// The day's list: "今日要事 N 件", one headline a line, at most kDigestLines
// then "还有 N 件", and the action that opens the organiser.
platform::Notification dayDigest(const QList<DueAffair>& affairs, const QString& icon);

// One affair at its time of day.
platform::Notification timedNotice(const DueAffair& affair, const QString& icon);

// The times that passed before the organiser started, in one notification.
platform::Notification missedNotice(const QList<DueAffair>& affairs, const QString& icon);

} // namespace notify
