// The reminder window as control centre: every button and menu item, the
// housekeeping commands and the windows it opens.
#include "TestApp.h"
#include "app/WindowTable.h"
#include "reminders/AffairEditor.h"
#include "reminders/ReminderWindow.h"
#include "shell/MainWindow.h"

#include <QtTest>
#include <QtWidgets>

using platform::Answer;

namespace {

struct Rmd {
    TestApp app;
    std::unique_ptr<reminders::ReminderWindow> w;

    explicit Rmd(const QStringList& statements = {})
    {
        app.clock.current = QDateTime(QDate(2026, 12, 7), QTime(9, 30));
        for (const QString& sql : statements)
            app.exec(sql);
        app.context().openDatabase();
        for (const char* name : {"IQDW", "yycxlb", "qqzxcx"})
            app.context().windows().add(name, [] { return new QWidget; });
        app::registerWindows(app.context());
        w = std::make_unique<reminders::ReminderWindow>(app.context());
        w->show();
    }
    template <class T = QAbstractButton> T* get(const QString& name)
    {
        T* widget = w->findChild<T*>(name);
        if (!widget) qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    void press(const QString& name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    QStringList lines()
    {
        const QAbstractItemModel* m = get<QListView>("List1")->model();
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

// Each menu as "title: item | item", separators as "-", the bar first.
QStringList describe(QMenuBar* bar)
{
    QStringList out;
    QList<std::pair<QString, QList<QAction*>>> menus{{"bar", bar->actions()}};
    for (qsizetype i = 0; i < menus.size(); ++i) {
        QStringList items;
        for (QAction* a : menus[i].second) {
            items << (a->isSeparator() ? "-" : a->text());
            if (a->menu()) menus.append({a->text(), a->menu()->actions()});
        }
        out << menus[i].first + ": " + items.join(" | ");
    }
    return out;
}

QString insert(const QString& name, const QString& column, const QString& value)
{
    return QStringLiteral("insert into mp(要事, %1) values('%2', %3)").arg(column, name, value);
}

} // namespace

class TestHousekeeping : public QObject {
    Q_OBJECT
private slots:
    void menuBarInOrder()
    {
        Rmd r;
        QCOMPARE(describe(r.w->menuBar()),
                 (QStringList{"bar: 系统(&S) | Lumo(&W) | 英语学习(Y) | 杂事管理(&Z) | "
                              "各种应用程序列表(&G) | 一般工具箱(&B) | 帮助(&H)",
                              "系统(&S): 修改登录密码 | - | 退出",
                              "Lumo(&W): 添加事务 | 修改事务 | 删除事务 | 清空 | 刷新事务 | "
                              "全部删除 | - | 查询事务 | 打印事务",
                              "一般工具箱(&B): 设置定时闹钟的声音、影片等 | 启动闹钟定时 | "
                              "轻松时刻 | 调用应用程序 | 更改启动界面 | 随windows一起启动",
                              "查询事务: 连续字符查询 | 高级任意查询 | 查询自动提醒事务 | "
                              "查询全部事务 | - | 察看搜索关键字",
                              "打印事务: 打印选中事务 | 打印自动提醒事务 | 打印所有事务"}));
    }

    // Every picture button and menu item by object name and text, with the
    // proof that its command ran. An item standing for a picture button
    // presses it; commands of the alarm and printing have their own tests.
    void commands_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text"); // tooltip of a button, text of an item
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("proof");
        const char* const rows[][5] = {
            {"Image1", "启动闹钟定时提醒", "actionStartAlarm", "启动闹钟定时", ""},
            {"Image3", "选择用于定时提醒的声音、视频文件", "actionAlarmFile",
             "设置定时闹钟的声音、影片等", ""},
            {"Image4", "自动或手工清除过期的不必保存的事务", "", "", "asked"},
            {"Image5", "智能任意查找含连续字符的具体事务", "actionSubstringSearch", "连续字符查询",
             "found B"},
            {"Image6", "用excel表格打印选定的提醒事务", "actionPrintSelected", "打印选中事务", ""},
            {"Image7", "查看自动提醒事务", "actionDueView", "查询自动提醒事务", "stored list"},
            {"Image8", "查看所有事务", "actionViewAll", "查询全部事务", "all texts"},
            {"Image9", "修改系统登录密码", "actionChangePassword", "修改登录密码", "yzmm"},
            {"Image10", "更换启动画面", "actionChangePicture", "更改启动界面", "picture"},
            {"Image11", "用excel表格打印自动提醒的事务", "actionPrintDue", "打印自动提醒事务", ""},
            {"Image12", "用excel表格打印所有重要的事务", "actionPrintAll", "打印所有事务", ""},
            {"Image13", "显示所有用于方便搜索的关键字", "actionShowKeywords", "察看搜索关键字",
             "keywords"},
            {"Image15", "放松自己,听音乐、看电影", "actionRelax", "轻松时刻", ""},
            {"Image16", "应用软件、图片、文档、课件分类管理列表", "actionProgramBook",
             "各种应用程序列表(&G)", "yycxlb"},
            {"Image17", "超强万能任意查找具体事务", "actionAnyCharSearch", "高级任意查询",
             "found B"},
            {"Image18", "分类管理QQ、Email、电话号码、图书、光盘、杂志等等", "actionMiscBook",
             "杂事管理(&Z)", "qqzxcx"},
            {"Image19", "软件使用帮助", "actionHelp", "帮助(&H)", "help"},
            {"Image20", "将本软件加入windows自启动中", "actionAutostart", "随windows一起启动",
             "autostart"},
            {"dyld", "英语单词查找、朗读", "actionVocabulary", "英语学习(Y)", "IQDW"},
            {"wbcx", "调用外部程序,打开各种文档......", "actionExternal", "调用应用程序", ""},
            {"", "", "actionAdd", "添加事务", "added"},
            {"", "", "actionModify", "修改事务", "modified"},
            {"", "", "actionDelete", "删除事务", "deleted"},
            {"", "", "actionClear", "清空", "cleared"},
            {"", "", "actionRefresh", "刷新事务", "refreshed"},
            {"", "", "actionDeleteAll", "全部删除", "all deleted"},
            {"", "", "actionQuit", "退出", "ended"},
        };
        for (const auto& row : rows) {
            if (*row[0]) QTest::newRow(row[0]) << row[0] << row[1] << "" << row[4];
            if (*row[2]) QTest::newRow(row[2]) << row[2] << row[3] << row[0] << row[4];
        }
    }
    void commands()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, button);
        QFETCH(QString, proof);
        Rmd r({insert("A", "要事关键字", "'甲'"), insert("B", "要事关键字", "'乙'")});
        r.get<QLineEdit>("searchBox")->setText("B");
        r.app.dialogs.answers.enqueue(proof == "asked" ? Answer::No : Answer::Yes);
        r.app.exec("insert into mp(要事) values('C')"); // only a refresh shows it
        if (proof == "modified" || proof == "deleted") r.w->editor().selectLine(0);
        r.get<QLineEdit>("gjz")->setText("改");

        if (auto* item = r.w->findChild<QAction*>(control)) {
            QCOMPARE(item->text(), text);
            QSignalSpy pressed(r.get(button.isEmpty() ? "Command1" : button),
                               &QAbstractButton::clicked);
            item->trigger();
            if (proof.isEmpty()) QCOMPARE(pressed.size(), 1);
        } else {
            QCOMPARE(r.get(control)->toolTip(), text);
            QVERIFY(r.get(control)->isVisible());
            r.press(control);
        }

        const QStringList db = r.app.column("select 要事 from mp");
        const QString box = r.w->rawAffairText();
        QWidget* window = r.app.context().windows().loaded(proof);
        if (proof == "asked")
            QCOMPARE(r.said(), QStringList{"事务提醒: 确认自动删除过期事务吗?"});
        else if (proof == "found B")
            QCOMPARE(r.lines(), QStringList{"B"});
        else if (proof == "stored list") // the start found nothing due
            QCOMPARE(box, "目前没有重要事务提醒");
        else if (proof == "all texts")
            QVERIFY2(box.contains("A") && box.contains("B"), qPrintable(box));
        else if (proof == "keywords")
            QCOMPARE(box, "  甲  乙");
        else if (proof == "picture")
            QCOMPARE(r.app.dialogs.fileQuestions.value(0).title, "请选择一幅背景图片");
        else if (proof == "help")
            QCOMPARE(r.app.desktop.opened, QStringList{r.app.path() + "/index.htm"});
        else if (proof == "autostart")
            QCOMPARE(r.said(), QStringList{"提示: 加入windows自启动成功！"});
        else if (proof == "added" || proof == "deleted" || proof == "all deleted")
            QCOMPARE(db.size(), proof == "added" ? 4 : proof == "deleted" ? 2 : 0);
        else if (proof == "modified")
            QCOMPARE(r.app.column("select 要事关键字 from mp").value(0), "改");
        else if (proof == "cleared")
            QVERIFY(r.get<QLineEdit>("gjz")->text().isEmpty());
        else if (proof == "refreshed")
            QCOMPARE(r.lines().size(), 3);
        else if (proof == "ended")
            QCOMPARE(r.app.exitCodes, QList<int>{0});
        else if (!proof.isEmpty())
            QVERIFY2(window && window->isVisible(), qPrintable(proof));
    }

    void clearExpired_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{"昨天", "今天", "期满", "每周", "无日期", "今天稍晚"};
        const QStringList current{"今天", "每周", "无日期", "今天稍晚"};
        QTest::newRow("yes deletes") << Answer::Yes << current << current;
        QTest::newRow("no lists") << Answer::No << all << QStringList{"昨天", "期满"};
    }
    void clearExpired()
    {
        QFETCH(Answer, answer);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, listed);
        Rmd r({insert("昨天", "时间点", "'2026-12-06'"), insert("今天", "时间点", "'2026-12-07'"),
               "insert into mp(要事, 时间点, 结束时间) values('期满', '2027-01-01', '2026-12-06')",
               insert("每周", "每周时间", "'1'"), insert("无日期", "每月时间", "''"),
               insert("今天稍晚", "时间点", "'2026-12-07 18:00:00'")});
        r.app.dialogs.answers.enqueue(answer);
        r.press("Image4");
        QCOMPARE(r.app.column("select 要事 from mp"), kept);
        QCOMPARE(r.lines(), listed);
    }

    // Cancelling, or a file that is no picture, keeps the stored picture.
    void backgroundPicture_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("mainThere");
        QTest::newRow("picture") << "new.jpg" << true;
        QTest::newRow("main window made") << "new.jpg" << false;
        QTest::newRow("cancel") << "" << true;
        QTest::newRow("not a picture") << "bad.jpg" << true;
    }
    void backgroundPicture()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, mainThere);
        Rmd r;
        const QString old = r.app.path() + "/old.png", path = r.app.path() + "/" + chosen;
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(old, "PNG") && (chosen != "new.jpg" || image.save(path, "PNG")));
        if (chosen == "bad.jpg") QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        r.app.exec("update tp set 图片名称='" + old + "'");
        std::unique_ptr<shell::MainWindow> main;
        if (mainThere) {
            main = std::make_unique<shell::MainWindow>(r.app.context(), nullptr);
            main->show();
        }
        r.app.dialogs.files.enqueue(chosen.isEmpty() ? QString() : path);
        r.press("Image10");

        const QString expected = chosen == "new.jpg" ? path : old;
        QCOMPARE(r.app.scalar("select 图片名称 from tp"), expected);
        QVERIFY(r.app.context().mainWindow && r.app.context().mainWindow->isVisible());
        QCOMPARE(r.app.context().mainWindow->picturePath(), expected);
        QCOMPARE(r.said(), chosen == "bad.jpg" ? QStringList{"提示: 无法显示这幅图片：" + path}
                                               : QStringList{});
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("said");
        QTest::newRow("autostart") << "Image20" << QString("提示: 未能加入自启动：写不进去");
        QTest::newRow("help") << "Image19" << QString("提示: 无法打开帮助：写不进去");
    }
    void failuresAreReported()
    {
        QFETCH(QString, button);
        QFETCH(QString, said);
        Rmd r;
        r.app.autostart.result = r.app.desktop.result = "写不进去";
        r.press(button);
        QCOMPARE(r.said(), QStringList{said});
    }

    // Opened once, raised again, a hidden one shown again, made afresh after
    // a close.
    void launcher()
    {
        Rmd r;
        int made = 0;
        r.app.context().windows().add("IQDW", [&made] { return ++made, new QWidget; });
        r.press("dyld");
        QPointer<QWidget> first = r.app.context().windows().loaded("IQDW");
        QVERIFY(first && first->isVisible());
        first->showMinimized();
        r.press("dyld");
        QVERIFY(!first->isMinimized());
        first->hide();
        r.press("dyld");
        QVERIFY(first->isVisible());
        QCOMPARE(made, 1);
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        r.press("dyld");
        QCOMPARE(made, 2);
    }
};

QTEST_MAIN(TestHousekeeping)
#include "test_housekeeping.moc"
