#include "core/LineSplit.h"

namespace core {

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\n' && c != u'\r') continue;
        lines << text.mid(start, i - start);
        const QChar pair = c == u'\n' ? u'\r' : u'\n';
        if (i + 1 < n && text[i + 1] == pair) ++i;
        start = i + 1;
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

} // namespace core
