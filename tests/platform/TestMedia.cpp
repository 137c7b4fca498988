#include "TestPlatform.h"

#include "platform/MediaPlayer.h"
#include "platform/MediaSamples.h"
#include "platform/Speech.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Half a second of silence: PCM, mono, 8 kHz, 16 bit, 8000 bytes of samples.
const QByteArray kWave =
    QByteArray::fromHex("52494646 641f0000 57415645 666d7420 10000000 0100 0100"
                        "401f0000 803e0000 0200 1000 64617461 401f0000") +
    QByteArray(8000, '\0');

} // namespace

void TestPlatform::mediaPlayerLoadsWave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("闹铃 声音.wav");
    QVERIFY(writeFile(path, kWave));
    auto player = platform::createQtMediaPlayer();
    QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);
    QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
    QSignalSpy finished(player.get(), &platform::MediaPlayer::finished);

    // A missing file replaced at once must not be reported on.
    player->play(dir.filePath("missing.wav"));
    player->play(path);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !errors.isEmpty(), 20000);
    if (loaded.isEmpty()) {
        const QString error = errors.first().first().toString();
        QVERIFY2(!error.contains("missing.wav"), qPrintable(error));
        QSKIP(qPrintable("the media backend cannot load files here: " + error));
    }
    QCOMPARE(loaded.size(), 1);
    const qint64 duration = loaded.first().first().toLongLong();
    QVERIFY2(qAbs(duration - 500) <= 50, qPrintable(QString::number(duration)));
    // It plays to its end, without a sound card too.
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() || !errors.isEmpty(), 20000);
    if (finished.isEmpty())
        QSKIP(
            qPrintable("the media backend cannot play here: " + errors.first().first().toString()));
    const qint64 position = finished.first().first().toLongLong();
    QVERIFY2(position >= 400, qPrintable(QString::number(position)));
    QCOMPARE(errors.size(), 0);
}

void TestPlatform::mediaPlayerReportsBadFiles_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<QString>("messageStart");

    QTest::newRow("missing") << QByteArray() << "找不到媒体文件：";
    QTest::newRow("not media") << QByteArray(4096, 'x') << "无法播放媒体文件：";
}

void TestPlatform::mediaPlayerReportsBadFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, messageStart);
    QTemporaryDir dir;
    const QString path = dir.filePath("乱码.wav");
    QVERIFY(content.isNull() || writeFile(path, content));
    auto player = platform::createQtMediaPlayer();
    QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
    QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);

    player->play(path);
    // The caller connects after play() in some windows: nothing may arrive before
    // the event loop runs.
    QCOMPARE(errors.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 20000);
    const QString message = errors.first().first().toString();
    QVERIFY2(message.startsWith(messageStart + path), qPrintable(message));
    QTest::qWait(200);
    QCOMPARE(errors.size(), 1); // one problem, one message

    // Nothing of a stopped file is reported.
    player->play(path);
    player->stop();
    QTest::qWait(100);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(loaded.size(), 0);
}

void TestPlatform::mediaSamplesLoad_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("kind");
    QTest::newRow("wav") << 0 << "wav";
    QTest::newRow("mid") << 1 << "mid";
    QTest::newRow("dat") << 2 << "dat";
    QTest::newRow("avi") << 3 << "avi";
}

// Each sample must be a file the backend really decodes, else the component
// check would blame the machine for a fault of ours.
void TestPlatform::mediaSamplesLoad()
{
    QFETCH(int, index);
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QList<platform::MediaSample> samples = platform::writeMediaSamples(dir.path());
    QCOMPARE(samples.size(), 4);
    const platform::MediaSample& sample = samples[index];
    QCOMPARE(sample.kind, kind);
    QVERIFY(sample.path.endsWith("." + kind));

    auto player = platform::createQtMediaPlayer();
    QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);
    QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
    QSignalSpy finished(player.get(), &platform::MediaPlayer::finished);
    player->play(sample.path);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !errors.isEmpty(), 20000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).value(0).toString()));
    const qint64 duration = loaded.first().first().toLongLong();
    // A stream may not know its length; when it does, it must be ours.
    QVERIFY2(duration <= 0 || qAbs(duration - sample.durationMs) <= 150,
             qPrintable(QString::number(duration)));
    // And plays to its end, as the alarm and the relax command need.
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() || !errors.isEmpty(), 20000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).value(0).toString()));
    player->stop();
}

void TestPlatform::speechListsVoices()
{
    // Ended while its engine still starts: waits for it, then ends cleanly.
    platform::createQtSpeech()->speak(QStringLiteral("nothing"));

    auto speech = platform::createQtSpeech();
    speech->speak(QStringLiteral("before the engine answers: nothing"));
    QObject receiver;
    bool answered = false;
    speech->whenReady(&receiver, [&answered] { answered = true; });
    QCOMPARE(answered, speech->ready());
    QTRY_VERIFY_WITH_TIMEOUT(answered, 30000);
    if (!speech->usable()) {
        QVERIFY(speech->errorText().startsWith("没有可用的语音引擎"));
        QSKIP(qPrintable("no speech engine runs here: " + speech->errorText()));
    }
    const QList<platform::Voice> voices = speech->voices();
    QVERIFY(!voices.isEmpty());
    bool english = false;
    for (const auto& v : voices) {
        QVERIFY(!v.name.isEmpty());
        english = english || (v.languageId & 0x3ff) == 0x09; // any English locale
    }
    QVERIFY2(english, "every engine offers an English voice");
    const auto us = std::find_if(voices.cbegin(), voices.cend(),
                                 [](const platform::Voice& v) { return v.languageId == 1033; });
    QVERIFY2(us != voices.cend(), "an English (United States) voice reads the vocabulary");
    // Nothing is spoken: without a sound card speech-dispatcher 0.11 hangs
    // once asked to speak, and every later client with it.
}
