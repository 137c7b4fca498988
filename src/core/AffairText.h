#pragma once

#include <QString>

namespace core {

// What the editor's boxes hold when an affair is stored. The keyword is not
// part of the stored text, so it is not here.
struct AffairBoxes {
    QString affair; // affairBox, raw
    QString sjd, qssj, jssj;
    QString lxr, lxdd, jtzz, sj, dh;
    QString mysj, mzsj, mrsj, mymrsj;
    QString nlmnsj, nlmysj; // 农历每年时间, 农历每月时间
};

inline const QString kAffairMarker = QStringLiteral(" ---标记");
// 每周时间 when no weekday is chosen; never shown in the summary line.
inline const QString kNoWeekday = QStringLiteral("100");

// The text column 要事 holds: the summary line of the filled schedule and
// contact boxes, the marker, CR LF, the affair text, CR LF, 88 hyphens.
QString composeStoredAffair(const AffairBoxes& boxes);

} // namespace core
