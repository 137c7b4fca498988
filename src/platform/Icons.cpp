#include "platform/Icons.h"

#include <QDir>
#include <QFile>

namespace platform {

namespace {
const QString kIconFolder = QStringLiteral(":/icons/");
}

QIcon lumoIcon(const QString& name)
{
    const QString path = kIconFolder + name + QStringLiteral(".svg");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QStringList lumoIconNames()
{
    QStringList names;
    for (const QString& file : QDir(kIconFolder).entryList({QStringLiteral("*.svg")}, QDir::Files))
        names << file.chopped(4);
    return names;
}

} // namespace platform
