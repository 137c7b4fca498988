#include "RmdDriver.h"
#include "reminders/AlarmClock.h"

using platform::Answer;

namespace {

const auto bjyy = [](const QString& f) { return "insert into bjyy(闹钟音乐) values('" + f + "')"; };
// One minute of the count-down, as the window's own timer delivers it.
const auto tick = [](Rmd& a) {
    QVERIFY(QMetaObject::invokeMethod(a.get<QTimer>("lz"), "timeout"));
};

// What the count-down shows: "idle" or the minutes left.
QString shown(Rmd& a)
{
    QLabel* left = a.get<QLabel>("Label21");
    const bool labels =
        a.get<QLabel>("Label20")->isVisible() && a.get<QLabel>("Label19")->isVisible();
    if (!a.get<QTimer>("lz")->isActive())
        return labels || left->isVisible() ? "stopped, shown " + left->text() : "idle";
    return labels && left->isVisible() ? left->text() : "counting, hidden";
}

} // namespace

class TestAlarm : public QObject {
    Q_OBJECT
private slots:
    // The whole number of 1 to 99999 minutes the text starts with after
    // blanks; anything else is refused (0).
    void alarmMinutesParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minutes");
        QTest::newRow("blanks around") << " 45 " << 45;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("largest") << "99999" << 99999;
        QTest::newRow("too many") << "100000" << 0;
        QTest::newRow("far too many") << "99999999999999999999" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("zero with unit") << "00分钟" << 0;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("with unit") << "45分钟" << 45;
        QTest::newRow("fraction") << "1.5" << 1;
        QTest::newRow("tab before") << "\t30 " << 30;
        QTest::newRow("unit first") << "分钟45" << 0;
        QTest::newRow("full-width digits") << "３０" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void alarmMinutesParse()
    {
        QFETCH(QString, text);
        QFETCH(int, minutes);
        QCOMPARE(reminders::alarmMinutes(text).value_or(0), minutes);
    }

    // The alarm sounds on a player of its own: a film or music playing on the
    // other goes on, and 轻松时刻 afterwards leaves the alarm alone.
    void alarmHasItsOwnPlayer()
    {
        QTemporaryDir dir;
        const QString sound = dir.filePath("alarm.wav");
        QVERIFY(QFile(sound).open(QIODevice::WriteOnly));
        Rmd a({bjyy(sound), "update bjyy set 背景音乐 = '/m/film.mp4'"});
        a.app.dialogs.answers << Answer::Cancel;
        a.press("Image15");
        a.get<QComboBox>("Combolz")->setCurrentText("1");
        a.press("Image1");
        tick(a);
        a.app.dialogs.answers << Answer::Cancel;
        a.press("Image15");
        QCOMPARE((QList<QStringList>{a.app.alarmMedia.played, a.app.media.played}),
                 (QList<QStringList>{{sound}, {"/m/film.mp4", "/m/film.mp4"}}));
        QCOMPARE(a.app.alarmMedia.stops + a.app.media.stops, 0);
        emit a.app.alarmMedia.errorOccurred("无法播放媒体文件：" + sound);
        QCOMPARE(a.said().last(), "播放提醒: 无法播放媒体文件：" + sound);
    }

    void countdown()
    {
        // Minutes typed into Combolz, then steps, each with what the count-down
        // shows after it: "start", "tick" (a minute passes) or "=N" (N typed).
        // The alarm sounds at the last step.
        for (const QString steps :
             {"2: start 2, tick 1, =4 1, tick 2, tick 1, tick idle", // raised
              "5: start 5, tick 4, tick 3, tick 2, =2 2, tick idle", // lowered below the count
              "3: start 3, tick 2, = 2, tick 1, =x 1, tick idle",    // retyped to nothing
              "2: start 2, tick 1, start 2, tick 1, tick idle"}) {   // restarted from zero
            QTemporaryDir dir;
            const QString sound = dir.filePath("闹 铃.wav");
            QVERIFY(QFile(sound).open(QIODevice::WriteOnly));
            Rmd a({bjyy(sound)});
            QComboBox* combo = a.get<QComboBox>("Combolz");
            QApplication::setActiveWindow(a.w.get());
            combo->setFocus();
            combo->lineEdit()->clear();
            for (QChar c : steps.section(':', 0, 0)) // as typed: no listed value may complete it
                QTest::sendKeyEvent(QTest::Click, combo->lineEdit(), Qt::Key_unknown, c, {});
            QCOMPARE(shown(a), "idle");

            a.app.dialogs.onMessage = [&](const auto&) {
                // The sound plays while the box is open; the count shows 0.
                QCOMPARE(a.app.alarmMedia.played, QStringList{sound});
                QCOMPARE(a.get<QLabel>("Label21")->text(), "0");
            };
            const QStringList list = steps.section(": ", 1).split(", ");
            for (const QString& step : list) {
                const QString action = step.section(' ', 0, 0);
                if (action == "start")
                    a.press("Image1");
                else if (action == "tick")
                    tick(a);
                else
                    combo->setCurrentText(action.mid(1));
                QCOMPARE(shown(a), step.section(' ', 1));
                QCOMPARE(a.app.dialogs.messages.isEmpty(), &step != &list.last());
            }
            tick(a); // a stray one after the alarm does nothing
            QCOMPARE(a.app.dialogs.texts() + a.app.alarmMedia.played,
                     (QStringList{"时间到!", sound}));
            // The box stays above other windows; the desktop also hears of it, urgently.
            QVERIFY(a.app.dialogs.messages.last().onTop);
            QCOMPARE(a.app.notifier.summaries(), QStringList{"闹钟提醒"});
            QCOMPARE(a.app.notifier.sent.last().body, QStringLiteral("时间到!"));
            QVERIFY(a.app.notifier.sent.last().critical);
        }
    }

    // Start refuses a missing sound and bad minutes; refused minutes leave a
    // running count-down alone.
    void startRefusals()
    {
        QTemporaryDir dir;
        const QString sound = dir.filePath("alarm.wav");
        QVERIFY(QFile(sound).open(QIODevice::WriteOnly));
        const QString missing = "用于闹钟提醒的声音或视频文件不存在!";
        const std::pair<QStringList, QString> cases[] = {
            {{}, "用于闹钟提醒的声音或视频文件没有设置!"},
            {{bjyy(dir.filePath("gone.wav"))}, missing},
            {{bjyy(sound)}, "请在“设置定时”中输入1到99999之间的整数分钟数!"}};
        for (const auto& [rows, message] : cases) {
            Rmd a(rows);
            const bool counting = message.contains("分钟");
            if (counting) {
                a.press("Image1");
                tick(a);
                a.get<QComboBox>("Combolz")->setCurrentText("0");
            }
            a.press("Image1");
            QCOMPARE(a.said() + a.app.alarmMedia.played << shown(a),
                     (QStringList{"请重新设置: " + message, counting ? "29" : "idle"}));
        }
    }

    // A cancelled question or dialog keeps the stored path; the other two
    // paths stay as they were.
    void chooseCommands()
    {
        // stored "-": bjyy has no row; answer: to the question, "" when not asked;
        // chosen "": the dialog is cancelled or not shown; row: bjyy after, quoted;
        // used: the file played or opened.
        const struct {
            const char *button, *stored, *answer, *chosen, *row, *used;
        } cases[] = {
            {"Image3", "-", "", "/m/a b.wav", "'/m/a b.wav'NULLNULL", ""},
            {"Image3", "/m/old.wav", "ok", "", "'/m/old.wav''/o/2''/o/3'", ""},
            {"Image15", "  ", "", "/m/film.dat", "'/o/1''/m/film.dat''/o/3'", "/m/film.dat"},
            {"Image15", "/m/old.mid", "cancel", "", "'/o/1''/m/old.mid''/o/3'", "/m/old.mid"},
            {"Image15", "-", "", "", "", ""},
            {"wbcx", "/d/old.txt", "ok", "/d/new.txt", "'/o/1''/o/2''/d/new.txt'", "/d/new.txt"},
            {"wbcx", "-", "", "", "", ""}};
        for (const auto& c : cases) {
            const QString button(c.button), answer(c.answer);
            const QString column = button == "Image3"    ? "闹钟音乐"
                                   : button == "Image15" ? "背景音乐"
                                                         : "外部";
            Rmd a(QString(c.stored) == "-"
                      ? QStringList()
                      : QStringList{"insert into bjyy values('/o/1', '/o/2', '/o/3')",
                                    QString("update bjyy set %1 = '%2'").arg(column, c.stored)});
            if (answer == "cancel") a.app.dialogs.answers << Answer::Cancel;
            if (*c.chosen) a.app.dialogs.files << c.chosen;
            a.press(button);
            QCOMPARE(a.app.dialogs.messages.size(), answer.isEmpty() ? 0 : 1);
            QCOMPARE(a.app.dialogs.fileQuestions.size(), answer == "cancel" ? 0 : 1);
            QCOMPARE(a.app.column("select quote(闹钟音乐)||quote(背景音乐)||quote(外部) from bjyy")
                         .join(','),
                     c.row);
            const QStringList used = *c.used ? QStringList{c.used} : QStringList();
            QCOMPARE(button == "wbcx" ? a.app.desktop.opened : a.app.media.played, used);
        }
    }

    void mediaErrorsAreShown()
    {
        Rmd a({"insert into bjyy values(null, null, '/d/gone.txt')"});
        emit a.app.media.errorOccurred("无法播放媒体文件：/m/x.avi");
        a.app.desktop.result = "找不到文件：/d/gone.txt";
        a.app.dialogs.answers << Answer::Cancel;
        a.press("wbcx");
        const QStringList said = a.app.dialogs.texts();
        QCOMPARE(said.first() + said.last(), "无法播放媒体文件：/m/x.avi找不到文件：/d/gone.txt");
        QVERIFY(!a.app.context().ended());
    }
};

QTEST_MAIN(TestAlarm)
#include "test_alarm.moc"
