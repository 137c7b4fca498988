#pragma once

#include <QByteArrayView>

struct sqlite3;

namespace store {

// The engine's LIKE, without its two limits: a pattern longer than 50,000
// bytes is refused and a NUL ends a text early. Same meaning otherwise: on
// UTF-8 text, % any run, _ one character, ASCII letters without case, and
// the escape character (0: none) makes the next one plain.
bool likeMatches(QByteArrayView pattern, QByteArrayView text, char32_t escape);

// Makes LIKE on this connection use likeMatches; SQLite's result code.
int installLike(sqlite3* db);

} // namespace store
