// The fixed day of a demonstration run, and the tutorial recordings the
// build puts beside the program.
#include "platform/Clock.h"
#include "platform/MediaPlayer.h"

#include <QtTest>
#include <QtWidgets>
#include <dlfcn.h>

class TestTutorials : public QObject {
    Q_OBJECT
private slots:
    void fixedDay_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QDate>("day"); // invalid: the system's date
        QTest::addColumn<bool>("warned");

        QTest::newRow("unset") << QString() << QDate() << false;
        QTest::newRow("short, blanks") << " 2004-8-2 " << QDate(2004, 8, 2) << false;
        QTest::newRow("leap day") << "2004-02-29" << QDate(2004, 2, 29) << false;
        QTest::newRow("no such day") << "2005-02-29" << QDate() << true;
        QTest::newRow("time added") << "2004-05-20 08:00" << QDate() << true;
    }

    void fixedDay()
    {
        QFETCH(QString, value);
        QFETCH(QDate, day);
        QFETCH(bool, warned);

        QString warning;
        const std::unique_ptr<platform::Clock> clock = platform::createClock(value, &warning);
        QCOMPARE(!warning.isEmpty(), warned);
        if (warned)
            QVERIFY2(warning.contains("LUMO_TODAY") && warning.contains(value),
                     qPrintable(warning));
        const QDate expected = day.isValid() ? day : QDate::currentDate();
        // The alarm counts on now(): it must stay on the same day and keep running.
        const QDateTime first = clock->now();
        QCOMPARE((QList<QDate>{clock->today(), first.date()}), QList<QDate>(2, expected));
        QTRY_VERIFY(clock->now() > first);
    }

    // The tutorial window offers six recordings: the build must put every one there.
    void recordingsLoad()
    {
        for (int n = 1; n <= 6; ++n) {
            const QString path = QStringLiteral(LUMO_APP_DIR "/shlx/lx%1.webm").arg(n);
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
            QVERIFY2(duration > 10000 && duration < 95000, qPrintable(path));
        }
    }

    // The recorder clicks where the preloaded map says a control is.
    void widgetMap()
    {
        QTemporaryDir dir;
        const QString mapPath = dir.filePath("map");
        QWidget window;
        window.setWindowTitle("重要事务提醒");
        auto* layout = new QVBoxLayout(&window);
        const auto add = [&]<class T>(T* widget, const char* name) {
            widget->setObjectName(name);
            layout->addWidget(widget);
            return widget;
        };
        auto* button = add(new QPushButton("追加要事"), "Command1");
        auto* list = add(new QListWidget, "List1");
        auto* check = add(new QCheckBox("1.数据库引擎"), "Check1");
        add(new QPushButton("隐藏"), "Command9")->hide();
        list->addItems({"张伟", "王伟" + QString(400, u'伟')});
        window.setGeometry(40, 30, 600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        qputenv("LUMO_WIDGET_MAP", QFile::encodeName(mapPath));
        QVERIFY2(dlopen(LUMO_WIDGET_MAP_LIBRARY, RTLD_NOW | RTLD_LOCAL), dlerror());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mapPath), 5000);
        QFile file(mapPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QHash<QString, QStringList> lines; // name, x, y, width, height, window title, ..., text
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QStringList fields = QString::fromUtf8(line).split(u'\t');
            if (fields.size() == 8) lines.insert(fields[0], fields);
        }
        const auto rectOf = [&](const QString& name) {
            const QStringList f = lines.value(name, QStringList(8));
            return QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
        };
        QCOMPARE(rectOf("Command1"), QRect(button->mapToGlobal(QPoint()), button->size()));
        QCOMPARE(lines.value("Command1").value(5), "重要事务提醒");
        QVERIFY(!lines.contains("Command9"));
        // A long row counts only as far as the list shows it.
        const QRect second =
            list->visualItemRect(list->item(1)).intersected(list->viewport()->rect());
        QCOMPARE(rectOf("List1#1"),
                 QRect(list->viewport()->mapToGlobal(second.topLeft()), second.size()));
        // A click on the middle of a check box's entry must tick it.
        QTest::mouseClick(check, Qt::LeftButton, {},
                          check->mapFromGlobal(rectOf("Check1").center()));
        QVERIFY(check->isChecked());
    }
};

QTEST_MAIN(TestTutorials)
#include "test_tutorials.moc"
