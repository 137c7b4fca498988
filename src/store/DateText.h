#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace store {

// Dates and times are UTC QDateTimes: a local midnight does not exist on a
// summer-time day in some zones.
// Text a user types into a date box: yyyy-M-d, yyyy/M/d, yyyy.M.d or ISO,
// each with an optional H:mm[:ss]. Four-digit years only.
std::optional<QDateTime> parseDateText(const QString& text);

// Storage form: "yyyy-MM-dd" at midnight, "yyyy-MM-dd HH:mm:ss" otherwise.
QString toStoredDate(const QDateTime& value);
std::optional<QDateTime> fromStoredDate(const QString& stored);

// The short form pickers write into boxes (2004-5-16).
QString shortDateText(const QDate& date);

// How a stored date reads as text: the short form, plus " H:mm:ss" when the
// time is not midnight. Nothing when `stored` is not in storage form.
std::optional<QString> storedDateDisplayText(const QString& stored);

} // namespace store
