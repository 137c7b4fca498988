#pragma once

#include "platform/Speech.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vocabulary {

// The text without the blanks (U+0020) at its end; other white space stays.
QString withoutTrailingBlanks(const QString& text);

// 超级单词 of an entry: the English and the Chinese text, each without its
// trailing blanks, joined with no separator.
QString composedKey(const QString& english, const QString& chinese);

// What reading aloud speaks for the English box holding `text` with the caret
// after `caret` characters: the whole text, unless the caret stands just
// after a blank; then the word before that blank, at most its last 15
// characters (empty after two blanks).
QString textToRead(const QString& text, int caret);

// "No.01:name" ... "No.09:name", then "No.10:name" and on.
QString voiceLine(int number, const QString& name);

// The voice lists: English (United States, 1033) voices and all others,
// numbered together in the engine's order; at most 255 voices are listed.
struct VoiceLines {
    QStringList english;
    QStringList others;
};
VoiceLines voiceLines(const QList<platform::Voice>& voices);

// The voice English is read with: "English (America)" when the engine has
// it, else its first 1033 voice, else none (the engine's current voice).
QString readingVoice(const QList<platform::Voice>& voices);

} // namespace vocabulary
