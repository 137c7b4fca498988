#include "platform/MediaPlayer.h"

#include <QApplication>
#include <QAudioOutput>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>
#include <QVideoWidget>

namespace platform {

namespace {

class QtMediaPlayer : public MediaPlayer {
public:
    explicit QtMediaPlayer(QObject* parent) : MediaPlayer(parent)
    {
        // The FFmpeg backend of Qt 6.4 crashes without an audio device.
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
        player_ = new QMediaPlayer(this);
        audio_ = new QAudioOutput(this);
        player_->setAudioOutput(audio_);
        connect(player_, &QMediaPlayer::mediaStatusChanged, this, &QtMediaPlayer::statusChanged);
        connect(player_, &QMediaPlayer::durationChanged, this, [this] { reportLoaded(); });
        connect(player_, &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error, const QString& text) { fail(text); });
        connect(player_, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
            if (video && video_) {
                if (fullScreen_)
                    video_->showFullScreen();
                else
                    video_->showNormal();
                video_->raise();
                video_->activateWindow();
            }
        });
    }

    ~QtMediaPlayer() override
    {
        player_->stop();
        delete video_;
    }

    void play(const QString& path) override { start(path, false); }
    void playFullScreen(const QString& path) override { start(path, true); }

    void start(const QString& path, bool fullScreen)
    {
        stop();
        fullScreen_ = fullScreen;
        ++generation_;
        path_ = path;
        loadedReported_ = false;
        failed_ = false;
        const QFileInfo info(path);
        if (path.trimmed().isEmpty() || !info.isFile()) {
            // Reported later, as a playback problem would be, so callers see one path.
            const int generation = generation_;
            QMetaObject::invokeMethod(
                this,
                [this, generation, path] {
                    if (generation == generation_)
                        emit errorOccurred(QStringLiteral("找不到媒体文件：") + path);
                },
                Qt::QueuedConnection);
            return;
        }
        attachVideoWindow(info.fileName());
        player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
        player_->play();
    }

    void stop() override
    {
        ++generation_;
        player_->stop();
        player_->setSource(QUrl());
        if (video_) video_->hide();
    }

protected:
    // Closing the film's window ends the film, sound included.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == video_ && event->type() == QEvent::Close) player_->stop();
        // Esc leaves a full-screen film altogether: the window closes, which stops it.
        if (watched == video_ && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && video_->isFullScreen()) {
            video_->close();
            return true;
        }
        return MediaPlayer::eventFilter(watched, event);
    }

private:
    void attachVideoWindow(const QString& title)
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
        if (!video_) {
            video_ = new QVideoWidget;
            video_->resize(640, 480);
            video_->installEventFilter(this);
            player_->setVideoOutput(video_);
        }
        video_->setWindowTitle(title);
    }

    void statusChanged(QMediaPlayer::MediaStatus status)
    {
        switch (status) {
        case QMediaPlayer::LoadedMedia:
        case QMediaPlayer::BufferingMedia:
        case QMediaPlayer::BufferedMedia:
            reportLoaded();
            break;
        case QMediaPlayer::InvalidMedia:
            fail(player_->errorString());
            break;
        case QMediaPlayer::EndOfMedia:
            if (video_) video_->hide();
            emit finished(player_->position());
            break;
        default:
            break;
        }
    }

    void reportLoaded()
    {
        if (loadedReported_ || failed_ || player_->source().isEmpty()) return;
        // Some files learn their length only after loading; a stream never does,
        // and is reported once it plays.
        const auto status = player_->mediaStatus();
        const bool known = player_->duration() > 0;
        if (!(status == QMediaPlayer::LoadedMedia && known) &&
            !(status == QMediaPlayer::BufferingMedia && known) &&
            status != QMediaPlayer::BufferedMedia && status != QMediaPlayer::EndOfMedia)
            return;
        loadedReported_ = true;
        emit loaded(player_->duration());
    }

    // The backend may report one problem both as an error and as invalid media.
    void fail(const QString& reason)
    {
        if (failed_ || player_->source().isEmpty()) return;
        failed_ = true;
        QString text = QStringLiteral("无法播放媒体文件：") + path_;
        if (!reason.trimmed().isEmpty()) text += QStringLiteral("\n") + reason;
        if (video_) video_->hide();
        emit errorOccurred(text);
    }

    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    QPointer<QVideoWidget> video_;
    QString path_;
    int generation_ = 0;
    bool loadedReported_ = false;
    bool failed_ = false;
    bool fullScreen_ = false;
};

} // namespace

std::unique_ptr<MediaPlayer> createQtMediaPlayer(QObject* parent)
{
    return std::make_unique<QtMediaPlayer>(parent);
}

} // namespace platform
