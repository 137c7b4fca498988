// The reminder window as the control centre: housekeeping commands and the
// windows it opens.
#include "TestApp.h"
#include "app/WindowTable.h"
#include "reminders/AffairEditor.h"
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
    template <class T = QWidget> T* get(const QString& name)
    {
        T* widget = w->findChild<T*>(name);
        if (!widget) qFatal("no widget %s", qPrintable(name));
        return widget;
    }
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

// The menu bar as "depth:objectName:text" lines, separators as "-".
void describe(const QList<QAction*>& actions, int depth, QStringList& out)
{
    for (QAction* a : actions) {
        const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
        out << (a->isSeparator() ? QString::number(depth) + ":-"
                                 : QStringLiteral("%1:%2:%3").arg(depth).arg(name, a->text()));
        if (a->menu()) describe(a->menu()->actions(), depth + 1, out);
    }
}

void writePicture(const QString& path, QColor colour)
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "PNG"));
}

const QStringList kMenuBar{
    "0:menuSystem:系统(&S)",
    "1:actionChangePassword:修改登录密码",
    "1:-",
    "1:actionQuit:退出",
    "0:menuLumo:Lumo(&W)",
    "1:actionAdd:添加事务",
    "1:actionModify:修改事务",
    "1:actionDelete:删除事务",
    "1:actionClear:清空",
    "1:actionRefresh:刷新事务",
    "1:actionDeleteAll:全部删除",
    "1:-",
    "1:menuQuery:查询事务",
    "2:actionSubstringSearch:连续字符查询",
    "2:actionAnyCharSearch:高级任意查询",
    "2:actionDueView:查询自动提醒事务",
    "2:actionViewAll:查询全部事务",
    "2:-",
    "2:actionShowKeywords:察看搜索关键字",
    "1:menuPrint:打印事务",
    "2:actionPrintSelected:打印选中事务",
    "2:actionPrintDue:打印自动提醒事务",
    "2:actionPrintAll:打印所有事务",
    "0:actionVocabulary:英语学习(Y)",
    "0:actionMiscBook:杂事管理(&Z)",
    "0:actionProgramBook:各种应用程序列表(&G)",
    "0:menuTools:一般工具箱(&B)",
    "1:actionAlarmFile:设置定时闹钟的声音、影片等",
    "1:actionStartAlarm:启动闹钟定时",
    "1:actionRelax:轻松时刻",
    "1:actionExternal:调用应用程序",
    "1:actionChangePicture:更改启动界面",
    "1:actionAutostart:随windows一起启动",
    "0:actionHelp:帮助(&H)",
};

} // namespace

class TestHousekeeping : public QObject {
    Q_OBJECT
private slots:
    void menuBarInOrder()
    {
        Rmd r;
        QStringList bar;
        describe(r.w->menuBar()->actions(), 0, bar);
        QCOMPARE(bar, kMenuBar);
    }

    // Every picture button and every menu item, by object name, with the
    // proof that its command ran. A menu item proves it through its button.
    void commands_data()
    {
        QTest::addColumn<QString>("control"); // button, or menu item's action
        QTest::addColumn<QString>("tooltip"); // buttons only
        QTest::addColumn<QString>("button");  // the button a menu item presses
        QTest::addColumn<QString>("proof");
        const struct {
            const char *button, *tooltip, *item, *proof;
        } rows[] = {
            {"Image1", "启动闹钟定时提醒", "actionStartAlarm", ""},
            {"Image3", "选择用于定时提醒的声音、视频文件", "actionAlarmFile", ""},
            {"Image4", "自动或手工清除过期的不必保存的事务", nullptr, "ask expired"},
            {"Image5", "智能任意查找含连续字符的具体事务", "actionSubstringSearch", "found B"},
            {"Image6", "用excel表格打印选定的提醒事务", "actionPrintSelected", ""},
            {"Image7", "查看自动提醒事务", "actionDueView", "stored list"},
            {"Image8", "查看所有事务", "actionViewAll", "all texts"},
            {"Image9", "修改系统登录密码", "actionChangePassword", "window yzmm"},
            {"Image10", "更换启动画面", "actionChangePicture", "picture dialog"},
            {"Image11", "用excel表格打印自动提醒的事务", "actionPrintDue", ""},
            {"Image12", "用excel表格打印所有重要的事务", "actionPrintAll", ""},
            {"Image13", "显示所有用于方便搜索的关键字", "actionShowKeywords", "keywords"},
            {"Image15", "放松自己,听音乐、看电影", "actionRelax", ""},
            {"Image16", "应用软件、图片、文档、课件分类管理列表", "actionProgramBook",
             "window yycxlb"},
            {"Image17", "超强万能任意查找具体事务", "actionAnyCharSearch", "found B"},
            {"Image18", "分类管理QQ、Email、电话号码、图书、光盘、杂志等等", "actionMiscBook",
             "window qqzxcx"},
            {"Image19", "软件使用帮助", "actionHelp", "help"},
            {"Image20", "将本软件加入windows自启动中", "actionAutostart", "autostart"},
            {"dyld", "英语单词查找、朗读", "actionVocabulary", "window IQDW"},
            {"wbcx", "调用外部程序,打开各种文档......", "actionExternal", ""},
            {"Command1", nullptr, "actionAdd", "added"},
            {"Command5", nullptr, "actionModify", "modified"},
            {"Command2", nullptr, "actionDelete", "deleted"},
            {"Command3", nullptr, "actionClear", "cleared"},
            {"Command8", nullptr, "actionRefresh", "refreshed"},
            {"Command4", nullptr, "actionDeleteAll", "all deleted"},
            {"Command7", nullptr, "actionQuit", "ended"},
        };
        for (const auto& row : rows) {
            if (row.tooltip)
                QTest::newRow(row.button) << row.button << row.tooltip << "" << row.proof;
            if (row.item)
                QTest::newRow(row.item)
                    << row.item << "" << (row.tooltip ? row.button : "") << row.proof;
        }
    }
    void commands()
    {
        QFETCH(QString, control);
        QFETCH(QString, tooltip);
        QFETCH(QString, button);
        QFETCH(QString, proof);
        Rmd r({"insert into mp(要事, 要事关键字) values('A', '甲')",
               "insert into mp(要事, 要事关键字) values('B', '乙')"});
        for (const char* name : {"IQDW", "yycxlb", "qqzxcx"})
            r.app.context().windows().add(name, [] { return new QWidget; });
        app::registerWindows(r.app.context());
        r.get<QLineEdit>("searchBox")->setText("B");
        r.app.dialogs.answers.enqueue(proof == "ask expired" ? Answer::No : Answer::Yes);
        r.app.exec("insert into mp(要事) values('C')"); // only a refresh shows it
        const int rows = r.app.column("select 要事 from mp").size();
        if (proof == "modified" || proof == "deleted") r.w->editor().selectLine(0);
        r.get<QLineEdit>("gjz")->setText("改");

        if (auto* item = r.w->findChild<QAction*>(control)) {
            // Commands of the alarm and printing are proved by their own
            // tests; here their items must press the button.
            std::unique_ptr<QSignalSpy> pressed;
            if (proof.isEmpty())
                pressed = std::make_unique<QSignalSpy>(r.get<QAbstractButton>(button),
                                                       &QAbstractButton::clicked);
            item->trigger();
            if (pressed) QCOMPARE(pressed->size(), 1);
        } else {
            auto* pictureButton = r.get<QAbstractButton>(control);
            QCOMPARE(pictureButton->toolTip(), tooltip);
            QVERIFY(pictureButton->isVisible());
            QTest::mouseClick(pictureButton, Qt::LeftButton);
        }

        const QStringList db = r.app.column("select 要事 from mp");
        const QString box = r.w->rawAffairText();
        const auto opened = [&](const char* name) {
            QWidget* w = r.app.context().windows().loaded(name);
            return w && w->isVisible();
        };
        if (proof == "ask expired")
            QCOMPARE(r.said(), QStringList{"事务提醒: 确认自动删除过期事务吗?"});
        else if (proof == "found B")
            QCOMPARE(r.lines(), QStringList{"B"});
        else if (proof == "stored list")
            QCOMPARE(box, "目前没有重要事务提醒");
        else if (proof == "all texts")
            QVERIFY2(box.contains("A") && box.contains("B"), qPrintable(box));
        else if (proof == "keywords")
            QCOMPARE(box, "  甲  乙");
        else if (proof.startsWith("window "))
            QVERIFY(opened(qPrintable(proof.mid(7))));
        else if (proof == "picture dialog")
            QCOMPARE(r.app.dialogs.fileQuestions.value(0).title, "请选择一幅背景图片");
        else if (proof == "help")
            QCOMPARE(r.app.desktop.opened, QStringList{r.app.path() + "/index.htm"});
        else if (proof == "autostart")
            QCOMPARE(r.app.autostart.enabled, QStringList{r.app.path() + "/rmd"});
        else if (proof == "added")
            QCOMPARE(db.size(), rows + 1);
        else if (proof == "modified")
            QCOMPARE(r.app.column("select 要事关键字 from mp").value(0), "改");
        else if (proof == "deleted")
            QCOMPARE(db.size(), rows - 1);
        else if (proof == "cleared")
            QVERIFY(r.get<QLineEdit>("gjz")->text().isEmpty());
        else if (proof == "refreshed")
            QCOMPARE(r.lines().size(), rows);
        else if (proof == "all deleted")
            QVERIFY(db.isEmpty());
        else if (proof == "ended")
            QCOMPARE(r.app.exitCodes, QList<int>{0});
    }

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
        auto* dyld = r.get<QAbstractButton>("dyld");
        QTest::mouseClick(dyld, Qt::LeftButton);
        QWidget* first = windows.loaded("IQDW");
        QVERIFY(first && first->isVisible());
        first->showMinimized();
        QTest::mouseClick(dyld, Qt::LeftButton);
        QCOMPARE(windows.loaded("IQDW"), first);
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
