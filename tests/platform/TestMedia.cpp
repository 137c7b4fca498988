#include "TestPlatform.h"

#include "platform/MediaPlayer.h"
#include "platform/Speech.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// A mono 16-bit PCM wave of a 440 Hz tone.
QByteArray waveFile(int milliseconds, int sampleRate = 8000)
{
    const quint32 samples = quint32(sampleRate) * quint32(milliseconds) / 1000;
    const quint32 dataBytes = samples * 2;
    QByteArray out;
    auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto u16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out += "RIFF";
    u32(36 + dataBytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(quint32(sampleRate));
    u32(quint32(sampleRate) * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(dataBytes);
    for (quint32 i = 0; i < samples; ++i)
        u16(quint16(qint16(8000 * ((i * 440 * 2 / quint32(sampleRate)) % 2 ? 1 : -1))));
    return out;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return file.fileName();
}

} // namespace

void TestPlatform::mediaPlayerLoadsWave()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "闹铃 声音.wav", waveFile(500));
    auto player = platform::createQtMediaPlayer();
    QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);
    QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);

    player->play(path);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !errors.isEmpty(), 20000);
    if (loaded.isEmpty())
        QSKIP(qPrintable("the media backend cannot load files here: " +
                         errors.first().first().toString()));
    QCOMPARE(loaded.size(), 1);
    const qint64 duration = loaded.first().first().toLongLong();
    QVERIFY2(qAbs(duration - 500) <= 50, qPrintable(QString::number(duration)));
    player->stop();
}

void TestPlatform::mediaPlayerReportsBadFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<QString>("messageStart");

    QTest::newRow("missing") << "没有.wav" << QByteArray() << "找不到媒体文件：";
    QTest::newRow("not media") << "乱码.wav" << QByteArray(4096, 'x') << "无法播放媒体文件：";
}

void TestPlatform::mediaPlayerReportsBadFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, messageStart);
    QTemporaryDir dir;
    const QString path = content.isNull() ? dir.filePath(name) : writeFile(dir, name, content);
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
    QCOMPARE(loaded.size(), 0);
}

void TestPlatform::mediaPlayerForgetsEarlierFile()
{
    // A missing file chosen and replaced at once must not report on the new one.
    QTemporaryDir dir;
    const QString good = writeFile(dir, "good.wav", waveFile(300));
    auto player = platform::createQtMediaPlayer();
    QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
    QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);

    player->play(dir.filePath("missing.wav"));
    player->play(good);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !errors.isEmpty(), 20000);
    for (const auto& e : errors)
        QVERIFY2(!e.first().toString().contains("missing.wav"), qPrintable(e.first().toString()));

    // After stop() nothing of the stopped file is reported either.
    errors.clear();
    player->play(dir.filePath("missing.wav"));
    player->stop();
    QTest::qWait(100);
    QCOMPARE(errors.size(), 0);
}

void TestPlatform::speechListsVoices()
{
    auto speech = platform::createQtSpeech();
    if (!speech->usable()) {
        QVERIFY(speech->errorText().startsWith("没有可用的语音引擎"));
        QSKIP(qPrintable("no speech engine runs here: " + speech->errorText()));
    }
    QCOMPARE(speech->errorText(), QString());
    const QList<platform::Voice> voices = speech->voices();
    QVERIFY(!voices.isEmpty());
    bool english = false;
    for (const auto& v : voices) {
        QVERIFY(!v.name.isEmpty());
        english = english || (v.languageId & 0x3ff) == 0x09; // any English locale
    }
    QVERIFY2(english, "every engine offers an English voice");

    speech->setParameters({voices.last().name, 0.5, -0.5, 0.8});
    QVERIFY(speech->usable());
    QCOMPARE(speech->voices().size(), voices.size());
}
