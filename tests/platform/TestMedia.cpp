#include "TestPlatform.h"

#include "platform/MediaPlayer.h"
#include "platform/MediaSamples.h"
#include "platform/Speech.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
    int index = 0;
    for (const char* kind : {"wav", "mid", "dat", "avi"})
        QTest::newRow(kind) << index++;
}

// Each sample must be a file the backend really decodes, else the component
// check would blame the machine for a fault of ours.
void TestPlatform::mediaSamplesLoad()
{
    QFETCH(int, index);
    QTemporaryDir dir;
    const QString folder = dir.filePath("闹铃 声音");
    QVERIFY(QDir().mkdir(folder));
    const QList<platform::MediaSample> samples = platform::writeMediaSamples(folder);
    const platform::MediaSample& sample = samples.value(index);
    QCOMPARE(sample.kind, QTest::currentDataTag());

    auto player = platform::createQtMediaPlayer();
    QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);
    QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
    QSignalSpy finished(player.get(), &platform::MediaPlayer::finished);
    // A missing file replaced at once must not be reported on.
    player->play(dir.filePath("missing.wav"));
    player->play(sample.path);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !errors.isEmpty(), 20000);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).value(0).toString()));
    QCOMPARE(loaded.size(), 1);
    const qint64 duration = loaded.first().first().toLongLong();
    // A stream may not know its length; when it does, it must be ours.
    QVERIFY2(duration <= 0 || qAbs(duration - sample.durationMs) <= 150,
             qPrintable(QString::number(duration)));
    // And plays to its end, without a sound card too, as the alarm and the relax command need.
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
    const auto us = std::find_if(voices.cbegin(), voices.cend(),
                                 [](const platform::Voice& v) { return v.languageId == 1033; });
    QVERIFY2(us != voices.cend(), "an English (United States) voice reads the vocabulary");
    // Nothing is spoken: without a sound card speech-dispatcher 0.11 hangs
    // once asked to speak, and every later client with it.
}
