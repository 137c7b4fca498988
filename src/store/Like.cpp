#include "Like.h"

#include <QByteArray>
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

char foldedByte(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

// What the windows' searches ask for: "%text%". Such a pattern is prepared
// once per statement and answered by a plain search for the text.
struct Prepared {
    char32_t escape = 0;
    bool contains = false;
    QByteArray needle; // ASCII letters lowered
    bool folds = false;
};

Prepared prepare(QByteArrayView pattern, char32_t escape)
{
    Prepared prepared;
    prepared.escape = escape;
    const auto isPercent = [&](qsizetype at) { return pattern[at] == '%' && escape != U'%'; };
    if (pattern.size() < 2 || !isPercent(0)) return prepared;
    qsizetype at = 1;
    while (at < pattern.size()) {
        Char c = readChar(pattern, at);
        if (escape && c.code == escape) {
            if (at + c.width >= pattern.size()) return prepared;
            const Char plain = readChar(pattern, at + c.width);
            prepared.needle += pattern.sliced(at + c.width, plain.width);
            at += c.width + plain.width;
            continue;
        }
        if (c.code == U'%' && at + c.width == pattern.size()) {
            prepared.contains = true;
            break;
        }
        if (c.code == U'%' || c.code == U'_') return prepared;
        prepared.needle += pattern.sliced(at, c.width);
        at += c.width;
    }
    for (char& byte : prepared.needle) {
        prepared.folds = prepared.folds || foldedByte(byte) != byte || (byte >= 'a' && byte <= 'z');
        byte = foldedByte(byte);
    }
    return prepared;
}

// UTF-8 never matches inside a character, and ASCII letters are single bytes,
// so searching bytes is searching characters.
bool containsNeedle(QByteArrayView text, const Prepared& prepared)
{
    const QByteArrayView needle(prepared.needle);
    if (!prepared.folds) return text.indexOf(needle) >= 0;
    const qsizetype last = text.size() - needle.size();
    for (qsizetype i = 0; i <= last; ++i) {
        qsizetype k = 0;
        while (k < needle.size() && foldedByte(text[i + k]) == needle[k])
            ++k;
        if (k == needle.size()) return true;
    }
    return false;
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

    auto* prepared = static_cast<Prepared*>(sqlite3_get_auxdata(context, 0));
    Prepared local;
    if (!prepared || prepared->escape != escape) {
        local = prepare({p, pSize}, escape);
        prepared = &local;
        sqlite3_set_auxdata(context, 0, new Prepared(local),
                            [](void* kept) { delete static_cast<Prepared*>(kept); });
    }
    sqlite3_result_int(context, prepared->contains ? containsNeedle({t, tSize}, *prepared)
                                                   : likeMatches({p, pSize}, {t, tSize}, escape));
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
