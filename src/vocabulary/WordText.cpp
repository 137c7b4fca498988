#include "vocabulary/WordText.h"

namespace vocabulary {

namespace {

constexpr int kLongestWord = 15;
constexpr int kMostVoices = 255;
constexpr int kEnglishUs = 1033;

} // namespace

QString withoutTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.left(end);
}

QString composedKey(const QString& english, const QString& chinese)
{
    return withoutTrailingBlanks(english) + withoutTrailingBlanks(chinese);
}

QString textToRead(const QString& text, int caret)
{
    const qsizetype c = std::clamp<qsizetype>(caret, 0, text.size());
    if (c == 0 || text.at(c - 1) != u' ') return text;
    const qsizetype end = c - 1;
    qsizetype begin = end;
    while (begin > 0 && end - begin < kLongestWord && text.at(begin - 1) != u' ')
        --begin;
    // A cut through a character outside the basic plane drops its lone half.
    if (begin < end && begin > 0 && text.at(begin).isLowSurrogate() && end - begin == kLongestWord)
        ++begin;
    return text.mid(begin, end - begin);
}

QString voiceLine(int number, const QString& name)
{
    return (number < 10 ? QStringLiteral("No.0") : QStringLiteral("No.")) +
           QString::number(number) + u':' + name;
}

VoiceLines voiceLines(const QList<platform::Voice>& voices)
{
    VoiceLines lines;
    const int count = int(std::min<qsizetype>(voices.size(), kMostVoices));
    for (int i = 0; i < count; ++i) {
        const platform::Voice& voice = voices.at(i);
        (voice.languageId == kEnglishUs ? lines.english : lines.others)
            << voiceLine(i + 1, voice.name);
    }
    return lines;
}

QString readingVoice(const QList<platform::Voice>& voices)
{
    QString first;
    for (const platform::Voice& voice : voices) {
        if (voice.languageId != kEnglishUs) continue;
        if (voice.name == QStringLiteral("English (America)")) return voice.name;
        if (first.isEmpty()) first = voice.name;
    }
    return first;
}

} // namespace vocabulary
