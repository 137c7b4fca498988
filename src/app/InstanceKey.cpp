#include "app/InstanceKey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace app {

QString instanceKey(const QString& bookPath)
{
    const QFileInfo book(bookPath);
    const QString canonical = book.canonicalFilePath();
    const QString path = canonical.isEmpty() ? book.absoluteFilePath() : canonical;
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("lumo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

QString instanceLockPath(const QString& key)
{
    return QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock"));
}

} // namespace app
