#include "NotesWindow.h"
#include "TestApp.h"
#include "WindowDriver.h"

#include <QtTest>

namespace {

// The example window over its own table in a fresh application folder.
struct Notes : WindowDriver<Notes, QLineEdit> {
    TestApp app;
    std::unique_ptr<example::NotesWindow> w;

    explicit Notes(const QStringList& rows)
    {
        app.exec(example::kNotesTable);
        for (const QString& row : rows) {
            const QStringList cells = row.split(u'|');
            app.exec(QString("insert into notes values ('%1', '%2', '%3')")
                         .arg(cells.value(0), cells.value(1), cells.value(2)));
        }
        app.context().openDatabase();
        w = std::make_unique<example::NotesWindow>(app.context());
        w->show();
    }
    // "title: text" of every message, with "?" after a question-icon one.
    QStringList said() const
    {
        QStringList out;
        for (const auto& m : app.dialogs.messages)
            out << m.title + ": " + m.text + (m.icon == platform::Icon::Question ? " ?" : "");
        return out;
    }
    // Steps: "type BOX TEXT", "click LINE", "no" (the next question), or a button name.
    void run(const QStringList& steps)
    {
        for (const QString& step : steps) {
            const QStringList p = step.split(u' ');
            if (p[0] == "type")
                get(p[1])->setText(p.mid(2).join(u' '));
            else if (p[0] == "click")
                clickLine(p[1].toInt());
            else if (p[0] == "no")
                app.dialogs.answers.enqueue(platform::Answer::No);
            else
                press(p[0]);
        }
    }
};

} // namespace

class TestNotesWindow : public QObject {
    Q_OBJECT
private slots:
    void flows_data()
    {
        QTest::addColumn<QStringList>("rows"); // 标题|正文|关键字
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("lines"); // the list afterwards
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QString>("stored"); // titles in the table afterwards
        const QStringList two{"买菜|周六早上|家", "开会|三楼 50% 折扣|工作"};
        QTest::newRow("add writes the boxes, lists the note and says so")
            << QStringList{} << QStringList{"type Text1 读书", "type gjz 家", "add"}
            << QStringList{"读书"} << QStringList{"提示: 已加入。"} << "读书";
        QTest::newRow("add refused by the window's own check stores nothing")
            << two << QStringList{"type Text2 没有标题", "add"} << QStringList{"买菜", "开会"}
            << QStringList{"警告: 请先填写标题。"} << "买菜 开会";
        QTest::newRow("modify changes the selected note and keeps it selected")
            << two << QStringList{"click 1", "type Text1 开长会", "modify"}
            << QStringList{"买菜", "开长会"} << QStringList{} << "买菜 开长会";
        QTest::newRow("modify without a selected line asks for one")
            << two << QStringList{"modify"} << QStringList{"买菜", "开会"}
            << QStringList{"提示: 请先在列表中选中一条信息"} << "买菜 开会";
        QTest::newRow("delete in an empty book warns")
            << QStringList{} << QStringList{"remove"} << QStringList{}
            << QStringList{"警告: 已经没有一条事务信息了！"} << "";
        QTest::newRow("delete without a selected line asks for one")
            << two << QStringList{"remove"} << QStringList{"买菜", "开会"}
            << QStringList{"提示: 请先在列表中选中一条信息"} << "买菜 开会";
        QTest::newRow("delete asks with the question icon, then says it is done")
            << two << QStringList{"click 0", "remove"} << QStringList{"开会"}
            << QStringList{"警告: 删除该条信息吗? ?", "提醒: 删除成功！"} << "开会";
        QTest::newRow("delete answered no keeps the note")
            << two << QStringList{"click 0", "no", "remove"} << QStringList{"买菜", "开会"}
            << QStringList{"警告: 删除该条信息吗? ?"} << "买菜 开会";
        QTest::newRow("substring search looks in the search column, literally")
            << two << QStringList{"type searchBox  50% ", "substring"} << QStringList{"开会"}
            << QStringList{} << "买菜 开会";
        QTest::newRow("any-character search finds either character")
            << two << QStringList{"type searchBox 早楼", "anyChar"} << QStringList{"买菜", "开会"}
            << QStringList{} << "买菜 开会";
        QTest::newRow("search for no note lists none")
            << two << QStringList{"type searchBox 晚上", "substring"} << QStringList{}
            << QStringList{} << "买菜 开会";
    }

    void flows()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, steps);
        Notes n(rows);
        n.run(steps);
        QTEST(n.lines(), "lines");
        QTEST(n.said(), "said");
        QTEST(n.app.column("select 标题 from notes").join(u' '), "stored");
    }

    // A click fills the boxes from the line's record; Modify writes them back.
    void loadAndModify()
    {
        Notes n({"买菜|周六早上|家", "开会|三楼|工作"});
        n.clickLine(1);
        QCOMPARE(n.get("Text1")->text() + n.get("Text2")->text() + n.get("gjz")->text(),
                 "开会三楼工作");
        n.run({"type gjz ", "modify"});
        QCOMPARE(n.app.column("select quote(关键字) from notes").join(u' '), "'家' NULL");
        QCOMPARE(n.get("Text1")->text(), "开会"); // the modified line is loaded again
    }

    // The overview lists each keyword once, as the table holds it.
    void keywords()
    {
        Notes n({"a||家", "b||工作", "c||家", "d||"});
        n.press("keywords");
        QCOMPARE(n.get("Text2")->text(), "  家  工作");
    }
};

QTEST_MAIN(TestNotesWindow)
#include "test_notes_window.moc"
