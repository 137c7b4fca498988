#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QObject;

namespace platform {

struct Voice {
    QString name;
    int languageId = 0; // Windows language id, 1033 for en_US
};

struct SpeechParameters {
    QString voiceName;   // empty: the engine's current voice
    double rate = 0.0;   // -1 .. 1
    double pitch = 0.0;  // -1 .. 1
    double volume = 1.0; // 0 .. 1
};

// Reading text aloud. Starting an engine takes seconds, so it answers later:
// until ready() nothing is usable, voices() is empty and speaking does
// nothing. errorText() says in Chinese why an answered engine is unusable.
class Speech {
public:
    virtual ~Speech() = default;
    virtual bool ready() const = 0;
    // Runs `done` in the GUI thread once the engine has answered,
    // at once when it already has; never when `receiver` is gone by then.
    virtual void whenReady(QObject* receiver, std::function<void()> done) = 0;
    virtual bool usable() const = 0;
    virtual QString errorText() const = 0;
    virtual QList<Voice> voices() const = 0;
    virtual void setParameters(const SpeechParameters& parameters) = 0;
    virtual void speak(const QString& text) = 0;
    virtual void stop() = 0;
};

int windowsLanguageId(const QString& localeName); // "en_US" -> 1033, 0 if unknown

// Qt TextToSpeech with the speech-dispatcher engine, flite when that fails,
// created and driven in a thread of its own.
std::unique_ptr<Speech> createQtSpeech();

} // namespace platform
