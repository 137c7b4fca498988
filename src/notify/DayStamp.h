#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace notify {

// What has been notified today, in a small file beside the book that every
// path shares: the log-in entry, the daily timer and the running organiser.
// Keys of an earlier day count as none.
class DayStamp {
public:
    explicit DayStamp(QString path) : m_path(std::move(path)) {}

    // Marks `keys` as notified on `day` and returns those that were not yet;
    // a caller sends only for these. Two processes never both get a key.
    QStringList claim(const QDate& day, const QStringList& keys);
    // Takes back keys whose notification could not be sent.
    void release(const QDate& day, const QStringList& keys);
    bool has(const QDate& day, const QString& key) const;

    QString path() const { return m_path; }

private:
    QStringList read(const QDate& day) const;
    bool write(const QDate& day, const QStringList& keys) const;

    QString m_path;
};

// The file beside the book `databasePath`.
QString dayStampPath(const QString& databasePath);

// The key of the day's list of due affairs.
inline const QString kDayListKey = QStringLiteral("day-list");

} // namespace notify
