// The main window: which background picture it shows, stretching, start timer, closing.
#include "TestApp.h"
#include "ShellTests.h"

#include "shell/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QtTest>

namespace {

const QString kDefaultName = QStringLiteral("油画-鹿鹤同春.jpg");

void writePicture(const QString& path, QColor colour, const char* format)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, format));
}

// The colour in the middle of what the picture control shows; transparent for none.
QColor shownColour(shell::MainWindow& window)
{
    auto* label = window.findChild<QLabel*>(QStringLiteral("picture"));
    const QPixmap pixmap = label->pixmap();
    if (pixmap.isNull())
        return Qt::transparent;
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24
           && qAbs(a.blue() - b.blue()) < 24 && a.alpha() == b.alpha();
}

std::function<QWidget*()> noReminderWindow(int& calls)
{
    return [&calls]() -> QWidget* {
        ++calls;
        return nullptr;
    };
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void picture_data();
    void picture();
    void pictureStretchesAndIsDecodedOnce();
    void storedPictureWinsAtNextResize();
    void closingBeforeTheTimerEnds();
};

void TestMainWindow::picture_data()
{
    QTest::addColumn<QString>("stored");     // "<null>", "<no row>", or a file name in the app folder
    QTest::addColumn<QString>("file");       // what lies at that name: none, picture, folder, junk
    QTest::addColumn<bool>("defaultThere");
    QTest::addColumn<QString>("expected");   // stored, default, none

    QTest::newRow("1123, default there") << "1123" << "none" << true << "default";
    QTest::newRow("1123, no default") << "1123" << "none" << false << "none";
    QTest::newRow("chosen picture") << "chosen.png" << "picture" << true << "stored";
    QTest::newRow("chosen picture, no default") << "chosen.png" << "picture" << false << "stored";
    QTest::newRow("picture with a foreign extension") << "chosen.gif" << "picture" << true << "stored";
    QTest::newRow("deleted file") << "gone.jpg" << "none" << true << "default";
    QTest::newRow("deleted file, no default") << "gone.jpg" << "none" << false << "none";
    QTest::newRow("dialog cancelled (empty)") << "" << "none" << true << "default";
    QTest::newRow("empty, no default") << "" << "none" << false << "none";
    QTest::newRow("null") << "<null>" << "none" << true << "default";
    QTest::newRow("no row in tp") << "<no row>" << "none" << true << "default";
    QTest::newRow("a folder") << "pictures" << "folder" << true << "default";
    QTest::newRow("not a picture") << "notes.jpg" << "junk" << true << "default";
    QTest::newRow("not a picture, no default") << "notes.jpg" << "junk" << false << "none";
}

void TestMainWindow::picture()
{
    QFETCH(QString, stored);
    QFETCH(QString, file);
    QFETCH(bool, defaultThere);
    QFETCH(QString, expected);
    TestApp app;
    const QDir dir(app.path());
    const QString defaultPath = dir.filePath(kDefaultName);
    if (defaultThere)
        writePicture(defaultPath, Qt::red, "JPG");
    const QString storedPath = dir.filePath(stored);
    if (file == QLatin1String("picture")) {
        writePicture(storedPath, Qt::blue, "PNG");
    } else if (file == QLatin1String("folder")) {
        QVERIFY(dir.mkdir(stored));
    } else if (file == QLatin1String("junk")) {
        QFile junk(storedPath);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("this is not a picture\n");
    }
    if (stored == QLatin1String("<null>"))
        app.exec(QStringLiteral("update tp set 图片名称 = null"));
    else if (stored == QLatin1String("<no row>"))
        app.exec(QStringLiteral("delete from tp"));
    else if (stored == QLatin1String("1123") || stored.isEmpty())
        app.exec(QStringLiteral("update tp set 图片名称 = '%1'").arg(stored));
    else
        app.exec(QStringLiteral("update tp set 图片名称 = '%1'").arg(storedPath));

    app.context().openDatabase();
    int calls = 0;
    shell::MainWindow window(app.context(), noReminderWindow(calls));
    window.show();

    if (expected == QLatin1String("stored")) {
        QCOMPARE(window.picturePath(), storedPath);
        QVERIFY(near(shownColour(window), Qt::blue));
    } else if (expected == QLatin1String("default")) {
        QCOMPARE(window.picturePath(), defaultPath);
        QVERIFY(near(shownColour(window), Qt::red));
    } else {
        QCOMPARE(window.picturePath(), QString());
        QCOMPARE(shownColour(window), QColor(Qt::transparent));
    }
    QVERIFY(app.dialogs.messages.isEmpty());
    QVERIFY(app.exitCodes.isEmpty());
}

void TestMainWindow::pictureStretchesAndIsDecodedOnce()
{
    TestApp app;
    writePicture(QDir(app.path()).filePath(kDefaultName), Qt::red, "JPG");
    app.context().openDatabase();
    int calls = 0;
    shell::MainWindow window(app.context(), noReminderWindow(calls));
    window.show();
    auto* label = window.findChild<QLabel*>(QStringLiteral("picture"));
    const qint64 decoded = label->pixmap().cacheKey();
    for (const QSize size : {QSize(640, 480), QSize(1000, 260), QSize(300, 700)}) {
        window.resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(label->geometry(), window.rect());
        // The picture covers the whole window, corners included.
        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.size(), size * shot.devicePixelRatio());
        QVERIFY(near(shot.pixelColor(2, 2), Qt::red));
        QVERIFY(near(shot.pixelColor(shot.width() - 3, shot.height() - 3), Qt::red));
        QCOMPARE(label->pixmap().cacheKey(), decoded);
    }
}

void TestMainWindow::storedPictureWinsAtNextResize()
{
    TestApp app;
    const QDir dir(app.path());
    writePicture(dir.filePath(kDefaultName), Qt::red, "JPG");
    writePicture(dir.filePath(QStringLiteral("a.png")), Qt::blue, "PNG");
    writePicture(dir.filePath(QStringLiteral("b.bmp")), Qt::green, "BMP");
    app.context().openDatabase();
    int calls = 0;
    shell::MainWindow window(app.context(), noReminderWindow(calls));
    QCOMPARE(app.context().mainWindow, &window);
    window.show();
    QVERIFY(near(shownColour(window), Qt::red));

    // The background command stores the path, then shows the picture directly.
    app.exec(QStringLiteral("update tp set 图片名称 = '%1'").arg(dir.filePath(QStringLiteral("a.png"))));
    window.setPicture(dir.filePath(QStringLiteral("a.png")));
    QVERIFY(near(shownColour(window), Qt::blue));
    window.setPicture(dir.filePath(QStringLiteral("missing.png")));
    QVERIFY(near(shownColour(window), Qt::blue));
    window.setPicture(QString());
    QCOMPARE(shownColour(window), QColor(Qt::transparent));

    window.resize(700, 500);
    QCoreApplication::processEvents();
    QVERIFY(near(shownColour(window), Qt::blue));

    // A picture replaced on disk under the same name is read again.
    QFile::remove(dir.filePath(QStringLiteral("a.png")));
    QVERIFY(QFile::copy(dir.filePath(QStringLiteral("b.bmp")), dir.filePath(QStringLiteral("a.png"))));
    window.resize(710, 500);
    QCoreApplication::processEvents();
    QVERIFY(near(shownColour(window), Qt::green));
}

void TestMainWindow::closingBeforeTheTimerEnds()
{
    TestApp app;
    app.context().openDatabase();
    int calls = 0;
    QPointer<shell::MainWindow> window = new shell::MainWindow(app.context(), noReminderWindow(calls));
    window->show();
    QVERIFY(window->close());
    QCOMPARE(app.exitCodes, QList<int>{0});
    QVERIFY(!app.context().connected());
    QTest::qWait(1500);
    QCOMPARE(calls, 0);
    QCOMPARE(app.exitCodes, QList<int>{0});
    delete window.data();
    QVERIFY(!app.context().mainWindow);
}

int runMainWindowTests(int argc, char** argv)
{
    TestMainWindow tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestMainWindow.moc"
