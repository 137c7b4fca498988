// The fixed day of a demonstration run, and the tutorial recordings the
// build puts beside the program.
#include "platform/Clock.h"
#include "platform/MediaPlayer.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

class TestTutorials : public QObject {
    Q_OBJECT
private slots:
    void fixedDay_data();
    void fixedDay();
    void recordingsLoad_data();
    void recordingsLoad();
};

void TestTutorials::fixedDay_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QDate>("day"); // invalid: the system's date
    QTest::addColumn<bool>("warned");

    QTest::newRow("unset") << QString() << QDate() << false;
    QTest::newRow("iso") << "2004-05-20" << QDate(2004, 5, 20) << false;
    QTest::newRow("short, blanks") << " 2004-8-2 " << QDate(2004, 8, 2) << false;
    QTest::newRow("leap day") << "2004-02-29" << QDate(2004, 2, 29) << false;
    QTest::newRow("no such day") << "2005-02-29" << QDate() << true;
    QTest::newRow("no dashes") << "20040520" << QDate() << true;
    QTest::newRow("words") << "明天" << QDate() << true;
    QTest::newRow("time added") << "2004-05-20 08:00" << QDate() << true;
}

void TestTutorials::fixedDay()
{
    QFETCH(QString, value);
    QFETCH(QDate, day);
    QFETCH(bool, warned);

    QString warning;
    const std::unique_ptr<platform::Clock> clock = platform::createClock(value, &warning);
    QCOMPARE(!warning.isEmpty(), warned);
    if (warned)
        QVERIFY2(warning.contains("LUMO_TODAY") && warning.contains(value), qPrintable(warning));
    const QDate expected = day.isValid() ? day : QDate::currentDate();
    QCOMPARE(clock->today(), expected);
    // The alarm counts on now(): it must stay on the same day and keep running.
    const QDateTime first = clock->now();
    QCOMPARE(first.date(), expected);
    QTest::qWait(20);
    QVERIFY(clock->now() > first);
}

void TestTutorials::recordingsLoad_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(QStringLiteral(LUMO_APP_DIR "/shlx"));
    for (int n : LUMO_RECORDINGS) {
        const QString name = QStringLiteral("lx%1.webm").arg(n);
        QTest::newRow(qPrintable(name)) << folder.filePath(name);
    }
}

void TestTutorials::recordingsLoad()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    auto player = platform::createQtMediaPlayer();
    QSignalSpy loaded(player.get(), &platform::MediaPlayer::loaded);
    QSignalSpy errors(player.get(), &platform::MediaPlayer::errorOccurred);
    player->play(path);
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() || !errors.isEmpty(), 30000);
    player->stop();
    if (loaded.isEmpty())
        QSKIP(qPrintable("the media backend cannot load files here: " +
                         errors.first().first().toString()));
    const qint64 duration = loaded.first().first().toLongLong();
    QVERIFY2(duration > 10000 && duration < 95000, qPrintable(QString::number(duration)));
}

QTEST_MAIN(TestTutorials)
#include "test_tutorials.moc"
