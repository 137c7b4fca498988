#pragma once

#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/MediaPlayer.h"
#include "platform/Speech.h"
#include "platform/SpreadsheetPrinter.h"

#include <QPointer>
#include <QQueue>
#include <utility>

namespace fakes {

class FakeClock : public platform::Clock {
public:
    QDateTime current{QDate(2026, 12, 6), QTime(9, 30, 0)};
    QDate today() const override { return current.date(); }
    QDateTime now() const override { return current; }
};

// Answers message boxes and file dialogs from scripts and records every question.
class FakeDialogs : public platform::Dialogs {
public:
    struct Message {
        QString text, title;
        platform::Buttons buttons;
        platform::Icon icon = platform::Icon::Information;
        bool onTop = false;
    };
    QList<Message> messages;
    QStringList fileQuestions;        // their titles
    QQueue<platform::Answer> answers; // default when empty: Yes for YesNo, Ok otherwise
    QQueue<QString> files;            // default when empty: cancel
    std::function<void(const Message&)> onMessage; // runs while the box would be open

    platform::Answer message(const QString& text, const QString& title, platform::Buttons buttons,
                             platform::Icon icon) override
    {
        messages.append({text, title, buttons, icon});
        if (onMessage) onMessage(messages.last());
        if (!answers.isEmpty()) return answers.dequeue();
        // The yes/no kinds come last among the buttons.
        return buttons >= platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
    }
    void messageOnTop(const QString& text, const QString& title) override
    {
        messages.append({text, title, platform::Buttons::Ok, platform::Icon::Information, true});
        if (onMessage) onMessage(messages.last());
    }
    QString openFile(const QString& title, const QString&, const QString&) override
    {
        fileQuestions << title;
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QStringList saveQuestions; // their titles; the answers come from `files` too
    QString saveFile(const QString& title, const QString&, const QString&) override
    {
        saveQuestions << title;
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto& m : messages)
            out << m.text;
        return out;
    }
};

class FakeDesktop : public platform::Desktop {
public:
    QStringList opened;
    QString result; // what every call answers
    QString open(const QString& path) override { return opened << path, result; }
};

class FakeMediaPlayer : public platform::MediaPlayer {
public:
    QStringList played, playedFullScreen;
    int stops = 0;
    void play(const QString& path) override { played << path; }
    void playFullScreen(const QString& path) override { playedFullScreen << path; }
    void stop() override { ++stops; }
};

// Answers at once unless answerAtOnce is false; then answer() delivers the
// engine's answer, as the real engine does seconds after the window opened.
class FakeSpeech : public platform::Speech {
public:
    bool answerAtOnce = true, isUsable = true;
    QList<platform::Voice> voiceList{{QStringLiteral("English (America)"), 1033}};
    QList<platform::SpeechParameters> parameters; // every call, also before the answer
    QStringList spoken;                           // likewise

    void answer()
    {
        answered = true;
        for (const auto& [receiver, done] : std::exchange(waiting, {}))
            if (receiver) done();
    }
    bool ready() const override { return answerAtOnce || answered; }
    void whenReady(QObject* receiver, std::function<void()> done) override
    {
        ready() ? done() : waiting.append({receiver, std::move(done)});
    }
    bool usable() const override { return ready() && isUsable; }
    QString errorText() const override
    {
        return !ready() || isUsable ? QString() : QStringLiteral("没有可用的语音引擎");
    }
    QList<platform::Voice> voices() const override
    {
        return usable() ? voiceList : QList<platform::Voice>();
    }
    void setParameters(const platform::SpeechParameters& p) override { parameters << p; }
    void speak(const QString& text) override { spoken << text; }
    void stop() override {}

private:
    bool answered = false;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> waiting;
};

class FakeSpreadsheetPrinter : public platform::SpreadsheetPrinter {
public:
    struct Job {
        QString templatePath;
        QStringList lines;
        QString savePath;
    };
    QList<Job> jobs;
    QString result;
    bool fillForReal = false; // fills and saves the workbook; only showing it is faked
    QString print(const QString& templatePath, const QStringList& lines,
                  const QString& savePath) override
    {
        const QString error =
            fillForReal ? platform::OoxmlSpreadsheetPrinter::fill(templatePath, lines, savePath)
                        : QString();
        if (!error.isEmpty()) return error;
        jobs.append({templatePath, lines, savePath});
        return result;
    }
};

class FakeAutostart : public platform::Autostart {
public:
    QString result;
    QString enable(const QString&) override { return result; }
};

} // namespace fakes
