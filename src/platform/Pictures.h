#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace platform {

// Reads the picture at `path` no larger than it can be shown in `room` (either
// way round, since a photo may turn on reading): a phone photo's full size
// can exceed what Qt decodes at once. A null image when it cannot be read.
QImage readPicture(const QString& path, const QSize& room);

} // namespace platform
