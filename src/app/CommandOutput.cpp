#include "app/CommandParts.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>

namespace app::detail {

// Encodes piece by piece: a due list of a large book would otherwise need
// a second, fresh buffer of its full size. False when the device refused
// some of the text (a full disk, a closed standard output).
bool writeText(QIODevice& device, const QString& text)
{
    constexpr qsizetype piece = 16 * 1024;
    QStringView rest(text);
    bool written = true;
    while (!rest.isEmpty() && written) {
        qsizetype size = std::min(piece, rest.size());
        if (size < rest.size() && rest.at(size - 1).isHighSurrogate())
            --size; // keeps a surrogate pair together
        const QByteArray bytes = rest.first(size).toUtf8();
        written = device.write(bytes) == bytes.size();
        rest = rest.sliced(size);
    }
    if (auto* file = qobject_cast<QFileDevice*>(&device)) written = file->flush() && written;
    return written;
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace app::detail
