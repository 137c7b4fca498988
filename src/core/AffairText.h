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

// A stored 要事 read back: the summary line before the marker and the affair
// text between the marker's CR LF and the closing CR LF and hyphens. A text
// not in that form (typed elsewhere, or from an older book) is all body.
struct StoredAffair {
    QString summary;
    QString body;
    bool composed = false;
};
StoredAffair readStoredAffair(const QString& stored);

// What Modify composes from: the box text without the summary line and the
// closing hyphens of `stored` (the record's 要事) when the box still begins
// and ends with them; otherwise the box text as it is. Without this every
// Modify would wrap the old summary into the new text once more.
QString affairWithoutStoredFrame(const QString& box, const QString& stored);

} // namespace core
