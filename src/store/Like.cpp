#include "Like.h"

#include <sqlite3.h>

namespace store {

namespace {

struct Char {
    char32_t code;
    qsizetype width;
};

// One UTF-8 character; a stray byte stands for itself.
Char readChar(QByteArrayView s, qsizetype at)
{
    const auto lead = static_cast<unsigned char>(s[at]);
    const int width = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (width == 1 || at + width > s.size()) return {lead, 1};
    char32_t code = lead & (0x7F >> width);
    for (int i = 1; i < width; ++i) {
        const auto next = static_cast<unsigned char>(s[at + i]);
        if ((next & 0xC0) != 0x80) return {lead, 1};
        code = (code << 6) | (next & 0x3F);
    }
    return {code, width};
}

char32_t folded(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

void like(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    char32_t escape = 0;
    if (argc == 3) {
        const auto* e = reinterpret_cast<const char*>(sqlite3_value_text(argv[2]));
        const QByteArrayView escapeText(e, e ? sqlite3_value_bytes(argv[2]) : 0);
        if (escapeText.isEmpty() || readChar(escapeText, 0).width != escapeText.size()) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = readChar(escapeText, 0).code;
    }
    // Text first: reading a value as text may move its bytes.
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int pSize = sqlite3_value_bytes(argv[0]);
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int tSize = sqlite3_value_bytes(argv[1]);
    if (!p || !t) return; // null in, null out
    sqlite3_result_int(context, likeMatches({p, pSize}, {t, tSize}, escape));
}

} // namespace

bool likeMatches(QByteArrayView pattern, QByteArrayView text, char32_t escape)
{
    qsizetype p = 0, t = 0;
    qsizetype afterPercent = -1, resumeText = 0; // the last % seen, and where its run ends
    while (t < text.size()) {
        if (p < pattern.size()) {
            Char pc = readChar(pattern, p);
            if (pc.code == U'%' && pc.code != escape) {
                p += pc.width;
                afterPercent = p;
                resumeText = t;
                continue;
            }
            const Char tc = readChar(text, t);
            if (pc.code == U'_' && pc.code != escape) {
                p += pc.width;
                t += tc.width;
                continue;
            }
            if (escape && pc.code == escape) {
                if (p + pc.width >= pattern.size()) return false; // nothing left to escape
                const qsizetype at = p + pc.width;
                pc = readChar(pattern, at);
                pc.width += at - p;
            }
            if (folded(pc.code) == folded(tc.code)) {
                p += pc.width;
                t += tc.width;
                continue;
            }
        }
        if (afterPercent < 0) return false;
        // Let the last % take one more character and try again from there.
        resumeText += readChar(text, resumeText).width;
        t = resumeText;
        p = afterPercent;
    }
    while (p < pattern.size()) {
        const Char pc = readChar(pattern, p);
        if (pc.code != U'%' || pc.code == escape) return false;
        p += pc.width;
    }
    return true;
}

int installLike(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (int argc : {2, 3}) {
        const int rc = sqlite3_create_function_v2(db, "like", argc, flags, nullptr, like, nullptr,
                                                  nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

} // namespace store
