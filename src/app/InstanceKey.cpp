#include "app/InstanceKey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

// A socket address holds at most 107 bytes of path.
constexpr qsizetype kSocketPathMax = 107;

// The folder is this user's alone: a real folder (no link) owned by the user
// that nobody else may enter or write.
bool ownedPrivately(const QString& folder, bool repairMode)
{
    struct stat info;
    const QByteArray path = QFile::encodeName(folder);
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 077) == 0) return true;
    return repairMode && ::chmod(path.constData(), 0700) == 0;
}

} // namespace

QString instanceKey(const QString& bookPath)
{
    const QFileInfo book(bookPath);
    const QString canonical = book.canonicalFilePath();
    const QString path = canonical.isEmpty() ? book.absoluteFilePath() : canonical;
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("lumo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

std::optional<QString> instanceFolder(const QString& key)
{
    const auto fits = [&key](const QString& folder) {
        return QFile::encodeName(folder + u'/' + key).size() <= kSocketPathMax;
    };
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && ownedPrivately(runtime, false) && fits(runtime)) return runtime;
    const QString own = QStringLiteral("lumo-%1").arg(::getuid());
    for (const QString& temp : {QDir::tempPath(), QStringLiteral("/tmp")}) {
        const QString folder = QDir(temp).filePath(own);
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
        if (fits(folder) && ownedPrivately(folder, true)) return folder;
    }
    return std::nullopt;
}

QString instanceSocketPath(const QString& key)
{
    const std::optional<QString> folder = instanceFolder(key);
    return folder ? QDir(*folder).filePath(key) : QString();
}

QString instanceLockPath(const QString& key)
{
    const QString socket = instanceSocketPath(key);
    if (socket.isEmpty()) return QString();
    const QString lock = socket + QStringLiteral(".lock");
    // Only the superuser can plant a lock in this user's folder; never trust it.
    struct stat info;
    const QByteArray file = QFile::encodeName(lock);
    if (::lstat(file.constData(), &info) == 0 && info.st_uid != ::getuid())
        ::unlink(file.constData());
    return lock;
}

} // namespace app
