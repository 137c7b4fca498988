// One organiser per book: a later start asks the running one to come
// forward and ends without opening the book.
#include "Fakes.h"
#include "app/SingleInstance.h"

#include <QtTest>
#include <future>

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
            QLockFile silent(QDir::temp().filePath(app::SingleInstance::key(book) + ".lock"));
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
