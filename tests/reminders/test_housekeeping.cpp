// The reminder window as the control centre: housekeeping commands and the
// windows it opens.
#include "TestApp.h"
#include "reminders/Housekeeping.h"
#include "reminders/ReminderWindow.h"
#include "shell/MainWindow.h"

#include <QtTest>
#include <QtWidgets>

using platform::Answer;
using reminders::ReminderWindow;

namespace {

const QDate kToday(2026, 12, 7);

struct Rmd {
    TestApp app;
    std::unique_ptr<ReminderWindow> w;

    explicit Rmd(const QStringList& statements = {})
    {
        app.clock.current = QDateTime(kToday, QTime(9, 30));
        for (const QString& sql : statements)
            app.exec(sql);
        app.context().openDatabase();
        w = std::make_unique<ReminderWindow>(app.context());
        w->show();
    }
    reminders::Housekeeping& hk() { return w->housekeeping(); }
    QStringList lines()
    {
        const QAbstractItemModel* m = w->findChild<QListView*>("List1")->model();
        QStringList out;
        for (int i = 0; i < m->rowCount(); ++i)
            out << m->index(i, 0).data().toString();
        return out;
    }
    QStringList said() // every message box as "title: text"
    {
        QStringList out;
        for (const auto& m : app.dialogs.messages)
            out << m.title + ": " + m.text;
        return out;
    }
};

QString affair(const QString& name, const QString& column, const QString& value)
{
    return QStringLiteral("insert into mp(要事, %1) values('%2', %3)").arg(column, name, value);
}

void writePicture(const QString& path, QColor colour)
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "PNG"));
}

} // namespace

class TestHousekeeping : public QObject {
    Q_OBJECT
private slots:
    void clearExpired_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{"昨天", "今天", "期满", "每周", "无日期", "今天稍晚"};
        QTest::newRow("yes deletes")
            << Answer::Yes << QStringList{"今天", "每周", "无日期", "今天稍晚"}
            << QStringList{"今天", "每周", "无日期", "今天稍晚"};
        QTest::newRow("no lists") << Answer::No << all << QStringList{"昨天", "期满"};
    }
    void clearExpired()
    {
        QFETCH(Answer, answer);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, listed);
        Rmd r({affair("昨天", "时间点", "'2026-12-06'"), affair("今天", "时间点", "'2026-12-07'"),
               "insert into mp(要事, 时间点, 结束时间) values('期满', '2027-01-01', '2026-12-06')",
               affair("每周", "每周时间", "'1'"), affair("无日期", "每月时间", "''"),
               affair("今天稍晚", "时间点", "'2026-12-07 18:00:00'")});
        r.app.dialogs.answers.enqueue(answer);
        r.hk().clearExpiredAffairs();

        QCOMPARE(r.said(), QStringList{"事务提醒: 确认自动删除过期事务吗?"});
        QCOMPARE(r.app.dialogs.messages[0].buttons, platform::Buttons::YesNo);
        QCOMPARE(r.app.dialogs.messages[0].icon, platform::Icon::Question);
        QCOMPARE(r.app.column("select 要事 from mp"), kept);
        QCOMPARE(r.lines(), listed);
    }

    void backgroundPicture_data()
    {
        QTest::addColumn<QString>("chosen"); // "" cancels, "bad" is no picture
        QTest::addColumn<bool>("mainThere");
        QTest::addColumn<bool>("stored");
        QTest::newRow("picture") << "new.jpg" << true << true;
        QTest::newRow("main window made") << "new.jpg" << false << true;
        QTest::newRow("cancel") << "" << true << false;
        QTest::newRow("not a picture") << "bad.jpg" << true << false;
    }
    void backgroundPicture()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, mainThere);
        QFETCH(bool, stored);
        Rmd r;
        const QString old = r.app.path() + "/old.png";
        writePicture(old, Qt::red);
        r.app.exec("update tp set 图片名称='" + old + "'");
        std::unique_ptr<shell::MainWindow> main;
        if (mainThere) {
            main = std::make_unique<shell::MainWindow>(r.app.context(), nullptr);
            main->show();
            QCOMPARE(main->picturePath(), old);
        }
        const QString path = chosen.isEmpty() ? QString() : r.app.path() + "/" + chosen;
        if (chosen == "new.jpg")
            writePicture(path, Qt::blue);
        else if (!path.isEmpty())
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        r.app.dialogs.files.enqueue(path);

        r.hk().changeBackgroundPicture();

        QCOMPARE(r.app.dialogs.fileQuestions.size(), 1);
        QCOMPARE(r.app.dialogs.fileQuestions[0].title, "请选择一幅背景图片");
        QCOMPARE(r.app.dialogs.fileQuestions[0].filter,
                 "jpeg(*.jpg)|*.jpg|bmp(*.bmp)|*.bmp|gif(*.gif)|*.gif");
        const QString expected = stored ? path : old;
        QCOMPARE(r.app.scalar("select 图片名称 from tp"), expected);
        QVERIFY(r.app.context().mainWindow);
        QVERIFY(r.app.context().mainWindow->isVisible());
        QCOMPARE(r.app.context().mainWindow->picturePath(), expected);
        QCOMPARE(r.said(), chosen == "bad.jpg" ? QStringList{"提示: 无法显示这幅图片：" + path}
                                               : QStringList{});
    }

    void startWithSession_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("said");
        QTest::newRow("written") << ""
                                 << "提示: 加入windows自启动成功！";
        QTest::newRow("refused") << "无法写入自动启动文件：/x"
                                 << "提示: 未能加入自启动：无法写入自动启动文件：/x";
    }
    void startWithSession()
    {
        QFETCH(QString, failure);
        QFETCH(QString, said);
        Rmd r;
        r.app.autostart.result = failure;
        r.hk().startWithSession();
        QCOMPARE(r.app.autostart.enabled, QStringList{r.app.path() + "/rmd"});
        QCOMPARE(r.said(), QStringList{said});
    }

    void help_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("opened") << "";
        QTest::newRow("missing") << "找不到文件：index.htm";
    }
    void help()
    {
        QFETCH(QString, failure);
        Rmd r;
        r.app.desktop.result = failure;
        r.hk().openHelp();
        QCOMPARE(r.app.desktop.opened, QStringList{r.app.path() + "/index.htm"});
        QCOMPARE(r.said(),
                 failure.isEmpty() ? QStringList{} : QStringList{"提示: 无法打开帮助：" + failure});
    }

    // A stand-in window proves the seam: opened once, raised again, made
    // afresh after a close; a hidden one stays loaded.
    void launcher()
    {
        Rmd r;
        shell::WindowLauncher& windows = r.app.context().windows();
        int made = 0;
        windows.add("IQDW", [&made] {
            ++made;
            return new QWidget;
        });
        QWidget* first = windows.open("IQDW");
        QVERIFY(first && first->isVisible());
        first->showMinimized();
        QCOMPARE(windows.open("IQDW"), first);
        QVERIFY(!first->isMinimized());
        first->hide();
        QCOMPARE(windows.open("IQDW"), first);
        QVERIFY(first->isVisible());
        QCOMPARE(made, 1);

        QPointer<QWidget> gone = first;
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gone);
        QVERIFY(!windows.loaded("IQDW"));
        QVERIFY(windows.open("IQDW"));
        QCOMPARE(made, 2);

        r.hk().openWindow("nothing");
        QCOMPARE(r.said(), QStringList{"提示: 无法打开窗口：nothing"});
    }
};

QTEST_MAIN(TestHousekeeping)
#include "test_housekeeping.moc"
