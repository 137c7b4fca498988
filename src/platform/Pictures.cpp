#include "platform/Pictures.h"

#include <QImageReader>

namespace platform {

namespace {

// What a picture may take when its format can only be read whole.
constexpr int kWholeReadLimitMb = 512;

} // namespace

QImage readPicture(const QString& path, const QSize& room)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const int side = std::max(room.width(), room.height());
    if (!size.isValid() || side <= 0 || (size.width() <= side && size.height() <= side))
        return reader.read();
    reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) return reader.read();
    // Formats that cannot decode smaller are read whole, then scaled.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(std::max(limit, kWholeReadLimitMb));
    QImage image = reader.read();
    QImageReader::setAllocationLimit(limit);
    return image;
}

} // namespace platform
