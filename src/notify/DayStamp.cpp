#include "notify/DayStamp.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

namespace notify {

namespace {

constexpr int kLockWaitMs = 2000;

} // namespace

QString dayStampPath(const QString& databasePath)
{
    const QFileInfo book(databasePath);
    return book.absolutePath() + QStringLiteral("/") + book.completeBaseName() +
           QStringLiteral(".notified");
}

QStringList DayStamp::read(const QDate& day) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.takeFirst() != day.toString(Qt::ISODate)) return {};
    return lines;
}

bool DayStamp::write(const QDate& day, const QStringList& keys) const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write((QStringList{day.toString(Qt::ISODate)} + keys).join(u'\n').toUtf8() + '\n');
    return file.commit();
}

QStringList DayStamp::claim(const QDate& day, const QStringList& keys)
{
    QLockFile lock(m_path + QStringLiteral(".lock"));
    // Without the lock (a folder we cannot write) nothing can be recorded:
    // notifying twice is better than never.
    const bool locked = lock.tryLock(kLockWaitMs);
    QStringList known = read(day);
    QStringList fresh;
    for (const QString& key : keys)
        if (!known.contains(key) && !fresh.contains(key)) fresh << key;
    if (locked && !fresh.isEmpty()) write(day, known + fresh);
    return fresh;
}

void DayStamp::release(const QDate& day, const QStringList& keys)
{
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) return;
    QStringList known = read(day);
    for (const QString& key : keys)
        known.removeAll(key);
    write(day, known);
}

bool DayStamp::has(const QDate& day, const QString& key) const
{
    return read(day).contains(key);
}

} // namespace notify
