#include "app/CommandParts.h"

#include "app/InstanceKey.h"
#include "platform/Clock.h"
#include "store/Backup.h"
#include "store/BookFolders.h"
#include "store/StoreError.h"
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QLockFile>

namespace app::detail {

int backup(const QString& file, const store::BookPlace& place, QIODevice& out, QIODevice& err)
{
    const QString book = place.folders.book();
    if (QFileInfo(file).canonicalFilePath() == QFileInfo(book).canonicalFilePath()) {
        writeText(err,
                  QStringLiteral("rmd：%1 就是数据库本身，请换一个文件名。\n").arg(native(file)));
        return kRefused;
    }
    try {
        store::backupBook(book, file);
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(error.message()));
        return kRefused;
    }
    writeText(out, QStringLiteral("已把数据库 %1 备份到 %2。\n").arg(native(book), native(file)));
    return 0;
}

int restore(const QString& file, const store::BookPlace& place, const platform::Clock& clock,
            QIODevice& out, QIODevice& err)
{
    if (!place.problem.isEmpty() && !place.lost) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(place.problem));
        return kRefused;
    }
    const QString book = place.folders.book();
    // Held for the whole restore, so no organiser opens the book meanwhile.
    // (Without a private folder no organiser can hold one either.)
    const QString lockPath = instanceLockPath(instanceKey(book));
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);
    if (!lockPath.isEmpty() && !lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
        writeText(err,
                  QStringLiteral("rmd：Lumo 正在使用数据库 %1，没有恢复。请先退出 Lumo，再恢复。\n")
                      .arg(native(book)));
        return kRefused;
    }
    QString kept;
    try {
        kept = store::restoreBook(file, book, place.folders.backups(), clock.now());
    } catch (const store::StoreError& error) {
        writeText(err, QStringLiteral("rmd：%1\n").arg(error.message()));
        return kRefused;
    }
    QString done = QStringLiteral("已用 %1 恢复数据库 %2。\n").arg(native(file), native(book));
    if (!kept.isEmpty()) done += QStringLiteral("原来的数据库保存在 %1。\n").arg(native(kept));
    writeText(out, done);
    return 0;
}

} // namespace app::detail
