// The reminder window as control centre: its menu items, the housekeeping
// commands and the windows it opens.
#include "RmdDriver.h"
#include "app/WindowTable.h"
#include "shell/MainWindow.h"

using platform::Answer;

namespace {

// The reminder window with every window its buttons open by name.
struct Housekeeping : Rmd {
    explicit Housekeeping(const QStringList& statements = {})
        : Rmd(statements, QDate(2026, 12, 7), false)
    {
        for (const char* name : {"IQDW", "yycxlb", "qqzxcx"})
            app.context().windows().add(name, [] { return new QWidget; });
        app::registerWindows(app.context());
        open();
    }
};

const auto affair = [](const QString& name, const QString& column, const QString& value) {
    return QStringLiteral("insert into mp(要事, %1) values('%2', %3)").arg(column, name, value);
};

} // namespace

class TestHousekeeping : public QObject {
    Q_OBJECT
private slots:
    // Each menu item acts as its button: the first 15 press it; the editor's
    // and the searches' items leave the book, the list and the boxes as their
    // buttons do, each command a state of its own.
    void itemsActAsTheirButtons()
    {
        const QStringList pairs =
            QString("StartAlarm Image1 AlarmFile Image3 PrintSelected Image6 DueView Image7 "
                    "ChangePassword Image9 ChangePicture Image10 PrintDue Image11 PrintAll Image12 "
                    "Relax Image15 ProgramBook Image16 MiscBook Image18 Help Image19 Autostart "
                    "Image20 Vocabulary dyld External wbcx Add Command1 Modify Command5 Delete "
                    "Command2 Clear Command3 Refresh Command8 DeleteAll Command4 Quit Command7 "
                    "SubstringSearch Image5 AnyCharSearch Image17 ViewAll Image8 ShowKeywords "
                    "Image13")
                .split(' ');
        const auto after = [](const QString& control) {
            Housekeeping r({affair("A", "要事关键字", "'甲'"), affair("B", "要事关键字", "'乙'")});
            r.app.exec("insert into mp(要事) values('C')"); // only a refresh lists it
            r.get("searchBox")->setText("AC");
            r.clickLine(0);
            r.get("gjz")->setText("改");
            if (auto* action = r.w->findChild<QAction*>(control))
                action->trigger();
            else
                r.press(control);
            return r.app.column("select 要事 || ifnull(要事关键字, '') from mp") + r.lines() +
                       r.said()
                   << r.w->rawAffairText() << r.get("gjz")->text()
                   << QString::number(r.app.exitCodes.size());
        };
        Housekeeping r;
        for (qsizetype i = 0; i < pairs.size(); i += 2) {
            const QString item = "action" + pairs[i], button = pairs[i + 1]; // named in a failure
            if (i >= 30) {
                QCOMPARE(QStringList{item} + after(item), QStringList{item} + after(button));
                continue;
            }
            QSignalSpy pressed(r.get<QAbstractButton>(button), &QAbstractButton::clicked);
            r.get<QAction>(item)->trigger();
            QVERIFY2(pressed.size() == 1, qPrintable(item));
        }
    }

    // Once the user agrees, affairs whose day or period has passed go; the
    // list then shows the rest, otherwise the expired ones.
    void clearExpired()
    {
        for (const bool yes : {true, false}) {
            Housekeeping r({affair("昨天", "时间点", "'2026-12-06'"),
                            affair("今天", "时间点", "'2026-12-07'"),
                            affair("期满", "时间点, 结束时间", "'2027-01-01', '2026-12-06'"),
                            affair("每周", "每周时间", "'1'"), affair("无日期", "每月时间", "''"),
                            affair("今天稍晚", "时间点", "'2026-12-07 18:00:00'")});
            r.app.dialogs.answers.enqueue(yes ? Answer::Yes : Answer::No);
            r.press("Image4");
            const QStringList current{"今天", "每周", "无日期", "今天稍晚"};
            QCOMPARE(r.app.column("select 要事 from mp"),
                     yes ? current : (QStringList{"昨天", "今天", "期满"} + current.mid(1)));
            QCOMPARE(r.lines(), yes ? current : (QStringList{"昨天", "期满"}));
        }
    }

    // On 2026-12-07, what the day of a time point or the end of a period
    // decides; the time of day does not count.
    void expiryByDate_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("values");
        QTest::addColumn<bool>("kept");
        const auto row = [](const char* name, const char* columns, const char* values, bool kept) {
            QTest::newRow(name) << columns << values << kept;
        };
        const char* const period = "起始时间, 结束时间";
        row("period ends today", period, "'2026-12-01', '2026-12-07'", true);
        row("period ended yesterday", period, "'2026-12-01', '2026-12-06'", false);
        row("period ended 23:30 yesterday", period, "'2026-12-01', '2026-12-06 23:30:00'", false);
        row("period ends 00:30 today", period, "'2026-12-01', '2026-12-07 00:30:00'", true);
        row("point 23:59 yesterday", "时间点", "'2026-12-06 23:59:00'", false);
        row("point 00:01 today", "时间点", "'2026-12-07 00:01:00'", true);
    }
    void expiryByDate()
    {
        QFETCH(QString, columns);
        QFETCH(QString, values);
        QFETCH(bool, kept);
        Housekeeping r({affair("事", columns, values)});
        r.app.dialogs.answers.enqueue(Answer::Yes);
        r.press("Image4");
        QCOMPARE(r.app.column("select 要事 from mp"), kept ? QStringList{"事"} : QStringList());
    }

    // Before 全部删除 or 清除过期 deletes anything, the book is copied to
    // backups/; a copy that cannot be made is reported and the command goes on.
    void copiesBeforeDeleting_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("copy"); // the copy's affairs, "-" for no copy
        QTest::addColumn<QString>("left"); // the book's affairs afterwards
        const auto row = [](const char* name, const char* button, bool yes, const char* given,
                            const char* copy, const char* left) {
            QTest::newRow(name) << button << yes << given << copy << left;
        };
        row("delete all", "Command4", true, "", "昨天,每周", "");
        row("delete all refused", "Command4", false, "", "-", "昨天,每周");
        row("clear expired", "Image4", true, "", "昨天,每周", "每周");
        row("clear expired, nothing expired", "Image4", true, "nothing expired", "-", "每周");
        row("backup folder blocked", "Command4", true, "blocked", "-", "");
    }

    void copiesBeforeDeleting()
    {
        QFETCH(QString, button);
        QFETCH(bool, yes);
        QFETCH(QString, given);
        QFETCH(QString, copy);
        QFETCH(QString, left);
        Housekeeping r(
            {affair("昨天", "时间点", "'2026-12-06'"), affair("每周", "每周时间", "'1'")});
        if (given == "nothing expired") r.app.exec("delete from mp where 要事 = '昨天'");
        if (given == "blocked") QVERIFY(QFile(r.file("backups")).open(QIODevice::WriteOnly));
        r.app.dialogs.answers.enqueue(yes ? Answer::Yes : Answer::No);
        r.press(button);
        const QStringList copies = QDir(r.file("backups")).entryList({"before-*.mdb"});
        QCOMPARE(copies.size(), copy == "-" ? 0 : 1);
        if (copy != "-")
            QCOMPARE(plainColumn(r.file("backups/" + copies[0]), "select 要事 from mp").join(','),
                     copy);
        QCOMPARE(r.app.column("select 要事 from mp").join(','), left);
        QCOMPARE(r.said().filter("数据库没有备份成功").size(), given == "blocked" ? 1 : 0);
    }

    // Cancelling, or a file that is no picture, keeps the stored picture; the
    // main window shows the stored one, opened if it was not.
    void backgroundPicture()
    {
        // The file chosen, whether the main window is open.
        const std::pair<QString, bool> cases[] = {
            {"new.jpg", true}, {"new.jpg", false}, {"", true}, {"bad.jpg", true}};
        for (const auto& [chosen, mainThere] : cases) {
            Housekeeping r;
            const QString old = r.file("old.png"), path = r.file(chosen);
            const QImage image(32, 24, QImage::Format_RGB32);
            QVERIFY(image.save(old, "PNG") && (chosen != "new.jpg" || image.save(path, "PNG")));
            if (chosen == "bad.jpg") QVERIFY(QFile(path).open(QIODevice::WriteOnly));
            r.app.exec("update tp set 图片名称='" + old + "'");
            std::unique_ptr<shell::MainWindow> main;
            if (mainThere)
                (main = std::make_unique<shell::MainWindow>(r.app.context(), nullptr))->show();
            r.app.dialogs.files.enqueue(chosen.isEmpty() ? QString() : path);
            r.press("Image10");
            QVERIFY(r.app.context().mainWindow() && r.app.context().mainWindow()->isVisible());
            const QString kept = chosen == "new.jpg" ? path : old;
            QCOMPARE(r.said() << r.app.scalar("select 图片名称 from tp")
                              << r.app.context().mainWindow()->picturePath(),
                     QStringList(chosen == "bad.jpg", "提示: 无法显示这幅图片：" + path)
                         << kept << kept);
        }
    }

    // A phone photo larger than Qt decodes whole is stored and shown.
    void bigPicture()
    {
        Housekeeping r;
        const QString path = r.file("photo.jpg");
        QImage photo(6000, 6000, QImage::Format_RGB888);
        photo.fill(Qt::darkGreen);
        QVERIFY(photo.save(path, "JPG"));
        r.app.dialogs.files.enqueue(path);
        r.press("Image10");
        QCOMPARE(r.said(), QStringList());
        QVERIFY(r.app.context().mainWindow());
        QCOMPARE(r.app.scalar("select 图片名称 from tp") + '|' +
                     r.app.context().mainWindow()->picturePath(),
                 path + '|' + path);
    }

    // Help and autostart say what failed; autostart says it succeeded. Help
    // opens the page in the application folder.
    void desktopCommands()
    {
        const char* const cases[][3] = {{"Image19", "写不进去", "提示: 无法打开帮助：写不进去"},
                                        {"Image20", "", "提示: 加入windows自启动成功！"},
                                        {"Image20", "写不进去", "提示: 未能加入自启动：写不进去"}};
        for (const auto& [button, failure, said] : cases) {
            Housekeeping r;
            r.app.autostart.result = r.app.desktop.result = failure;
            r.press(button);
            const bool help = QString(button) == "Image19";
            QCOMPARE(r.said() + r.app.desktop.opened,
                     (help ? QStringList{said, r.file("index.htm")} : QStringList{said}));
        }
    }

    // Each window button opens its window; one is opened once, raised again,
    // a hidden one shown again, made afresh after a close.
    void launcher()
    {
        Housekeeping r;
        const std::pair<const char*, const char*> windows[] = {
            {"Image9", "yzmm"}, {"Image16", "yycxlb"}, {"Image18", "qqzxcx"}};
        for (const auto& [button, name] : windows) {
            r.press(button);
            QWidget* window = r.app.context().windows().loaded(name);
            QVERIFY2(window && window->isVisible(), name);
        }
        int made = 0;
        r.app.context().windows().add("IQDW", [&made] { return ++made, new QWidget; });
        const auto dyld = [&r] {
            r.press("dyld");
            return QPointer<QWidget>(r.app.context().windows().loaded("IQDW"));
        };
        const QPointer<QWidget> first = dyld();
        QVERIFY(first && first->isVisible());
        first->showMinimized();
        QVERIFY(!dyld()->isMinimized());
        first->hide();
        QVERIFY(dyld()->isVisible());
        QCOMPARE(made, 1);
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QVERIFY(dyld() && made == 2);
    }
};

QTEST_MAIN(TestHousekeeping)
#include "test_housekeeping.moc"
