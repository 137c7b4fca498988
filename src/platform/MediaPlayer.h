#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace platform {

// Plays a sound or video file. Problems (missing file, unknown format)
// arrive later and are reported through errorOccurred with a Chinese text.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaPlayer() override = default;
    virtual void play(const QString& path) = 0;
    // As play(), but a video fills the screen; Esc leaves full screen and
    // closes the video window.
    virtual void playFullScreen(const QString& path) { play(path); }
    virtual void stop() = 0;

signals:
    void errorOccurred(const QString& message);
    // Emitted when the file is loaded; duration in milliseconds.
    void loaded(qint64 durationMs);
    // Emitted when a file has played to its end; position in milliseconds.
    void finished(qint64 positionMs);
};

std::unique_ptr<MediaPlayer> createQtMediaPlayer(QObject* parent = nullptr);

} // namespace platform
