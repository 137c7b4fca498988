#pragma once

#include <QList>
#include <QString>

namespace platform {

struct Voice {
    QString name;
    int languageId = 0; // Windows language id, 1033 for en_US
};

struct SpeechParameters {
    QString voiceName;
    double rate = 0.0;   // -1 .. 1
    double pitch = 0.0;  // -1 .. 1
    double volume = 1.0; // 0 .. 1
};

// Reading text aloud. usable() is false when no engine answers, and
// errorText() then says why in Chinese.
class Speech {
public:
    virtual ~Speech() = default;
    virtual bool usable() const = 0;
    virtual QString errorText() const = 0;
    virtual QList<Voice> voices() = 0;
    virtual void setParameters(const SpeechParameters& parameters) = 0;
    virtual void speak(const QString& text) = 0;
    virtual void stop() = 0;
};

int windowsLanguageId(const QString& localeName); // "en_US" -> 1033, 0 if unknown

} // namespace platform

#include <memory>
namespace platform {
// Qt TextToSpeech with the speech-dispatcher engine, flite when that fails.
std::unique_ptr<Speech> createQtSpeech();
} // namespace platform
