// One organiser per book: a later start asks the running one to come
// forward and ends without opening the book.
#include "Fakes.h"
#include "app/InstanceKey.h"
#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestInstance : public QObject {
    Q_OBJECT

private slots:
    void laterStart()
    {
        // first: "claim", "silent" (holds the lock only) or "ended"; second: where
        // the later start's book is (the first's is x/rmd.mdb); then whether the later
        // start goes on and how often the first was asked to come forward.
        const std::tuple<QString, QString, bool, int> cases[] = {
            {"claim", "x/rmd.mdb", false, 1},
            {"claim", "other/../x/./rmd.mdb", false, 1},
            {"claim", "other/rmd.mdb", true, 0},
            {"silent", "x/rmd.mdb", false, 0},
            {"ended", "x/rmd.mdb", true, 0}};
        for (const auto& [first, second, goesOn, raised] : cases) {
            QTemporaryDir dir;
            const QString book = dir.filePath("x/rmd.mdb");
            QVERIFY(QDir(dir.path()).mkpath("x") && QDir(dir.path()).mkpath("other"));
            for (const QString& path : {book, dir.filePath("other/rmd.mdb")})
                QVERIFY(QFile(path).open(QIODevice::WriteOnly));
            int raises = 0;
            app::SingleInstance running(book);
            QLockFile silent(running.lockFilePath());
            QVERIFY(first == "silent" ? silent.tryLock(0) : running.claim([&raises] { ++raises; }));
            if (first == "ended") running.release();

            app::SingleInstance later(dir.filePath(second));
            fakes::FakeDialogs dialogs;
            // The later start waits for an answer: it runs beside this event loop.
            auto start = std::async(std::launch::async, [&] {
                return app::startAsOrganiser(later, dialogs, {}, 1000);
            });
            QTRY_VERIFY_WITH_TIMEOUT(
                start.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 5000);
            QCOMPARE(start.get(), goesOn);
            QTRY_COMPARE(raises, raised);
            // Only a start that got no answer says so.
            QCOMPARE(dialogs.texts(),
                     first == "silent" ? QStringList{app::kAlreadyRunning} : QStringList());
        }
    }

    // An organiser that crashed left its lock behind; the next start goes on
    // as the organiser, and a start after that finds it.
    void startAfterCrash()
    {
        QTemporaryDir dir;
        const QString book = dir.filePath("rmd.mdb");
        const QString lock = app::SingleInstance(book).lockFilePath();
        QVERIFY(!lock.isEmpty());
        const pid_t child = fork();
        if (child == 0) {
            QLockFile held(lock);
            _exit(held.tryLock(0) ? 0 : 1); // ends without unlocking, as a crash does
        }
        int status = -1;
        QVERIFY(child > 0 && waitpid(child, &status, 0) == child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0 && QFile::exists(lock));

        int raises = 0;
        app::SingleInstance restarted(book);
        fakes::FakeDialogs dialogs;
        QVERIFY(app::startAsOrganiser(
            restarted, dialogs, [&raises] { ++raises; }, 1000));
        app::SingleInstance later(book);
        auto start = std::async(std::launch::async,
                                [&] { return app::startAsOrganiser(later, dialogs, {}, 3000); });
        QTRY_VERIFY_WITH_TIMEOUT(
            start.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 5000);
        QCOMPARE(start.get(), false);
        QCOMPARE(raises, 1);
        QCOMPARE(dialogs.texts(), QStringList());
    }

    // Whatever listens under the organiser's name must answer as an organiser
    // does before a later start counts it as one.
    void foreignListener_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("taken");
        QTest::newRow("organiser's answer") << QByteArray("ok\n") << true;
        QTest::newRow("another line") << QByteArray("hello\n") << false;
        QTest::newRow("answer without line end") << QByteArray("ok") << false;
        QTest::newRow("answer inside a longer line") << QByteArray("ok, what?\n") << false;
        QTest::newRow("closes without a word") << QByteArray() << false;
    }
    void foreignListener()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString book = dir.filePath("rmd.mdb");
        const QString name = app::instanceSocketPath(app::SingleInstance::key(book));
        QLocalServer::removeServer(name);
        QLocalServer server;
        QVERIFY(server.listen(name));
        connect(&server, &QLocalServer::newConnection, &server, [&server, reply] {
            QLocalSocket* socket = server.nextPendingConnection();
            connect(socket, &QLocalSocket::readyRead, socket, [socket, reply] {
                socket->readAll();
                socket->write(reply);
                socket->flush();
                socket->disconnectFromServer();
            });
        });
        app::SingleInstance later(book);
        auto asked = std::async(std::launch::async, [&] { return later.askToRaise(1000); });
        QTRY_VERIFY_WITH_TIMEOUT(
            asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 5000);
        QCOMPARE(asked.get(), taken);
    }

    void privateFolder_data()
    {
        // How the runtime folder and the temporary folder are prepared; where
        // the lock must then be ("runtime", "temp" for TMPDIR/lumo-<uid>,
        // "tmp" for /tmp/lumo-<uid>).
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<QString>("temp");
        QTest::addColumn<QString>("lockIn");
        const auto row = [](const char* name, const char* runtime, const char* temp,
                            const char* lockIn) {
            QTest::newRow(name) << QString(runtime) << QString(temp) << QString(lockIn);
        };
        row("runtime folder", "private", "", "runtime");
        row("runtime folder others may enter", "open", "", "temp");
        row("runtime folder of another user", "foreign", "", "temp");
        row("no runtime folder", "unset", "", "temp");
        row("own temp folder others may write", "unset", "open", "temp");
        row("temp folder of another user", "unset", "foreign", "tmp");
        row("temp folder too long for a socket", "unset", "long", "tmp");
        row("lock of another user", "unset", "foreign lock", "temp");
    }

    // A folder or lock another user could have planted never keeps the user
    // out, and the later start still finds the running one.
    void privateFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, temp);
        QFETCH(QString, lockIn);
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTemp = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", savedRuntime);
            qputenv("TMPDIR", savedTemp);
        });
        QTemporaryDir dir;
        const QDir root(dir.path());
        const QString own = QStringLiteral("lumo-%1").arg(::getuid());
        const auto foreign = [](const QString& path) {
            return ::chown(qPrintable(path), 4242, 4242) == 0;
        };
        QVERIFY(root.mkpath("run") && root.mkpath("app") && root.mkpath(QString(90, u'x')));
        QFile::setPermissions(root.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                  (runtime == "open" ? QFile::ExeOther : QFile::Permissions()));
        if (runtime == "foreign" && !foreign(root.filePath("run"))) QSKIP("needs the superuser");
        if (runtime == "unset")
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.filePath("run")));
        const QString tempRoot = root.filePath(temp == "long" ? QString(90, u'x') : QString());
        qputenv("TMPDIR", QFile::encodeName(tempRoot));
        const QString ownTemp = QDir(tempRoot).filePath(own);
        if (temp == "open" || temp == "foreign") {
            QVERIFY(QDir().mkpath(ownTemp));
            ::chmod(qPrintable(ownTemp), 0777);
            if (temp == "foreign" && !foreign(ownTemp)) QSKIP("needs the superuser");
        }
        const QString book = root.filePath("app/rmd.mdb"); // the book
        if (temp == "foreign lock") {
            // A live-looking lock of another user in this user's own folder.
            QVERIFY(QDir().mkpath(ownTemp));
            QLockFile planted(QDir(ownTemp).filePath(app::SingleInstance::key(book) + ".lock"));
            QVERIFY(planted.tryLock(0));
            if (!foreign(planted.fileName())) QSKIP("needs the superuser");
            QFile::copy(planted.fileName(), planted.fileName() + ".kept");
            planted.unlock();
            QFile::rename(planted.fileName() + ".kept", planted.fileName());
            QVERIFY(foreign(planted.fileName()));
        }

        app::SingleInstance running(book);
        const QString where = lockIn == "runtime" ? root.filePath("run")
                              : lockIn == "temp"  ? ownTemp
                                                  : QDir("/tmp").filePath(own);
        QCOMPARE(QFileInfo(running.lockFilePath()).absolutePath(), where);
        int raises = 0;
        QVERIFY(running.claim([&raises] { ++raises; }));
        QCOMPARE(QFileInfo(where).permissions() &
                     (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther | QFile::ReadGroup |
                      QFile::WriteGroup | QFile::ExeGroup),
                 QFile::Permissions());
        app::SingleInstance later(book);
        auto asked = std::async(std::launch::async, [&later] { return later.askToRaise(2000); });
        QTRY_COMPARE(raises, 1);
        QVERIFY(asked.get());
    }

    // The real program, started while an organiser runs in the folder: it
    // ends at once and leaves the book alone; rmd --due still works.
    void secondProgramStart()
    {
        QTemporaryDir dir;
        const QDir folder(dir.path());
        for (const QString& file : {QStringLiteral(LUMO_RMD), QStringLiteral(LUMO_ORGANISER)})
            QVERIFY(QFile::copy(file, folder.filePath(QFileInfo(file).fileName())));
        // Not a book at all: opening it would stop the start with an error box.
        QFile book(folder.filePath("rmd.mdb"));
        const QByteArray notes(4096, 'x');
        QVERIFY(book.open(QIODevice::WriteOnly) && book.write(notes) > 0);
        book.close();

        int raises = 0;
        app::SingleInstance running(book.fileName());
        QVERIFY(running.claim([&raises] { ++raises; }));
        QProcess rmd;
        rmd.start(folder.filePath(QStringLiteral("rmd")), {});
        QTRY_COMPARE_WITH_TIMEOUT(rmd.state(), QProcess::NotRunning, 20000);
        QCOMPARE(QString::number(rmd.exitStatus()) + QString::number(rmd.exitCode()), "00");
        QCOMPARE(raises, 1);
        QVERIFY(book.open(QIODevice::ReadOnly) && book.readAll() == notes);
        book.close();
        QCOMPARE(folder.entryList(QDir::Files).size(), 3); // no journal beside the book

        QVERIFY(book.remove() && QFile::copy(QStringLiteral(LUMO_SEED_DB), book.fileName()));
        rmd.start(folder.filePath(QStringLiteral("rmd")), {"--due", "--date", "2026-12-06"});
        QVERIFY(rmd.waitForFinished(20000));
        QCOMPARE(QString::number(rmd.exitCode()) + rmd.readAllStandardError() +
                     QString::number(raises),
                 "01");
    }
};

QTEST_GUILESS_MAIN(TestInstance)
#include "test_instance.moc"
