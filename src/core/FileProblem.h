#pragma once

#include <QString>

class QFileDevice;

namespace core {

// Why a file could not be read or written, in words a user can act on;
// the system's own text only where no plainer reason is known.
QString readProblem(const QString& path, const QFileDevice& file);
QString writeProblem(const QString& path, const QFileDevice& file);

} // namespace core
