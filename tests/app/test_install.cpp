// make install into a temporary DESTDIR, then the installed commands with a
// fresh home: the per-user book comes from the installed seed.
#include <QImage>
#include <QProcess>
#include <QtTest>
#include <unistd.h>

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_usr = m_dir.filePath("dest/usr");
    QString m_home = m_dir.filePath("home");

    // Exit code, then standard output and standard error, joined by "|".
    QString lumo(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", m_home);
        environment.remove("XDG_DATA_HOME");
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_dir.path());
        process.start(m_usr + "/bin/lumo", arguments);
        if (!process.waitForFinished(30000)) return "did not finish";
        return QString::number(process.exitCode()) + "|" + process.readAllStandardOutput() + "|" +
               process.readAllStandardError();
    }
    QString book() const { return m_home + "/.local/share/lumo/rmd.mdb"; }

private slots:
    void initTestCase()
    {
        QProcess install;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", m_dir.filePath("dest"));
        install.setProcessEnvironment(environment);
        install.start(LUMO_CMAKE, {"--install", LUMO_BUILD_DIR, "--prefix", "/usr"});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }

    void installedFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("iconSize"); // 0: not a rendered icon
        for (const char* path :
             {"lib/lumo/rmd", "lib/lumo/azcsh", "lib/lumo/liblumo_organiser.so",
              "share/lumo/seed/rmd.mdb", "share/lumo/dy/mhxzsw.xltx", "share/lumo/shlx/lx6.webm",
              "share/lumo/index.htm", "share/lumo/油画-鹿鹤同春.jpg",
              "share/applications/io.github.lumo.Lumo.desktop",
              "share/metainfo/io.github.lumo.Lumo.metainfo.xml", "share/man/man1/lumo.1",
              "share/icons/hicolor/scalable/apps/lumo.svg"})
            QTest::newRow(path) << QString(path) << 0;
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString path = QString("share/icons/hicolor/%1x%1/apps/lumo.png").arg(size);
            QTest::newRow(qPrintable(path)) << path << size;
        }
    }

    void installedFiles()
    {
        QFETCH(QString, path);
        QFETCH(int, iconSize);
        QVERIFY2(QFileInfo(m_usr + "/" + path).isFile(), qPrintable(path));
        if (iconSize) QCOMPARE(QImage(m_usr + "/" + path).size(), QSize(iconSize, iconSize));
    }

    // The commands are relative links, so the tree works wherever it lies.
    void commandsAreRelativeLinks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("lumo") << "../lib/lumo/rmd";
        QTest::newRow("lumo-setup") << "../lib/lumo/azcsh";
    }

    void commandsAreRelativeLinks()
    {
        QFETCH(QString, target);
        const QByteArray link = QFile::encodeName(m_usr + "/bin/" + QTest::currentDataTag());
        char text[256] = {};
        QCOMPARE(QString::fromUtf8(text, ::readlink(link.constData(), text, sizeof text - 1)),
                 target);
        QVERIFY(QFileInfo(link).isExecutable());
    }

    // In order: each row starts from what the one before left.
    void installedCommands_data()
    {
        QTest::addColumn<QString>("before"); // done to the home first
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("result"); // start of exit code, output and errors
        QTest::addColumn<QString>("mark");   // the book's mp rows afterwards, "-" none
        QTest::newRow("first due list makes the book")
            << "" << QStringList{"--due", "--date", "2026-12-06"} << "0||"
            << "";
        QTest::newRow("backup on demand")
            << "add 年" << QStringList{"--backup", "copy.mdb"} << "0|已把数据库"
            << "年";
        QTest::newRow("lost book is reported")
            << "remove book" << QStringList{"--due"} << "2||rmd：找不到数据库文件"
            << "-";
        QTest::newRow("restore fills the lost book")
            << "" << QStringList{"--restore", "copy.mdb"} << "0|已用"
            << "年";
        QTest::newRow("due list from the restored book")
            << "" << QStringList{"--due", "--date", "2026-12-06"} << "0|年"
            << "年";
    }

    void installedCommands()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, arguments);
        QFETCH(QString, result);
        QFETCH(QString, mark);
        QProcess sqlite;
        if (before == "add 年") {
            sqlite.start("sqlite3",
                         {book(), "insert into mp (要事, 每月每日时间) values ('年', '12-6')"});
            QVERIFY(sqlite.waitForFinished() && sqlite.exitCode() == 0);
        }
        if (before == "remove book") QVERIFY(QFile::remove(book()));
        const QString actual = lumo(arguments);
        QVERIFY2(actual.startsWith(result), qPrintable(actual));
        if (arguments.contains("--due") && result.startsWith("2"))
            QVERIFY2(actual.contains("lumo --restore"), qPrintable(actual));
        if (mark == "-") {
            QVERIFY(!QFile::exists(book()));
            return;
        }
        sqlite.start("sqlite3", {book(), "select group_concat(要事) from mp"});
        QVERIFY(sqlite.waitForFinished() && sqlite.exitCode() == 0);
        QCOMPARE(QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed(), mark);
        QVERIFY(QFileInfo(m_home + "/.local/share/lumo/wbwj").isDir());
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
