#pragma once

#include <QString>
#include <QStringList>

namespace core {

// The lines of a list text as they go into the rows of a sheet. A break is
// CR LF, LF CR, a lone LF or a lone CR, pairs taken from the left: the due
// list's "LF CR LF CR" after an entry is two breaks, so one empty row
// follows it, as the affair box shows it. A break at the very end opens no
// further line; an empty text has no lines.
QStringList splitLines(const QString& text);

} // namespace core
