#include "TestApp.h"
#include "core/SearchStatements.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/ListModel.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/RecordList.h"
#include "recordbook/TextBoxes.h"
#include "store/Recordset.h"

#include <QtTest>
#include <QtWidgets>

using namespace recordbook;
using namespace core;

namespace {
const QStringList kTitles{"打折50%", "打折500", "a_b", "axb", "it's", "c:\\x", "开会", "议程", ""};
const QString kHead = QStringLiteral("select  * from notes where ");

// A small table of the tests' own in a fresh application folder, opened
// through the store as the windows open their tables.
struct NotesBook {
    TestApp app;
    NotesBook()
    {
        app.exec("create table notes (标题 TEXT COLLATE NOCASE, 正文 TEXT COLLATE NOCASE, "
                 "日期 DATETEXT, 星期 TEXT, 标签 TEXT)");
        app.context().openDatabase();
    }
    // Adds one row per title; other columns null.
    void add(const QStringList& titles)
    {
        for (const QString& t : titles)
            app.exec("insert into notes (标题) values ('" + QString(t).replace("'", "''") + "')");
    }
};

BookDescriptor titles()
{
    BookDescriptor d;
    d.table = "notes";
    d.listColumn = "标题";
    return d;
}

// A list window in miniature: the list and a controller that
// owns its cursor over the notes table.
struct NotesWindow {
    NotesBook book;
    QWidget window;
    RecordList* list = new RecordList(&window);
    RecordBookController controller{servicesOf(book.app.context()), titles(), list};
    QStringList loads; // "line:title" per load
    QStringList doubleClicks;

    NotesWindow(const QStringList& titles)
    {
        book.add(titles);
        list->setGeometry(0, 0, 200, 300);
        window.resize(220, 340);
        controller.setLoadHandler([this](int line) {
            controller.recordForLine(line);
            loads << QString::number(line) + ":" + controller.cursor().text("标题");
        });
        QObject::connect(&controller, &RecordBookController::lineDoubleClicked,
                         [this](int line) { doubleClicks << QString::number(line); });
        controller.reopen("select * from notes");
        controller.fillList();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QPoint lineAt(int n) { return list->visualRect(controller.model().index(n)).center(); }
};

} // namespace

// Statements, bindings and the list model, then the controller with the shared
// list and boxes, driven like a user.
class TestRecordbook : public QObject {
    Q_OBJECT
private slots:
    // Add and Modify run a window's steps at fixed points: its check before
    // anything is written, its refresh once the record is stored, the notice,
    // then what follows the notice.
    void editSteps_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("selected"); // -1: no line selected
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("stored");
        QTest::newRow("add: check, stored, refresh, notice, after")
            << "add" << -1 << false
            << QStringList{"check", "written -1 (3 rows)", "said 已加入。", "after -1"}
            << "甲 乙 新";
        QTest::newRow("add refused writes nothing")
            << "add" << -1 << true << QStringList{"check"} << "甲 乙";
        QTest::newRow("modify rewrites the selected line's record")
            << "modify" << 1 << false
            << QStringList{"check", "written 1 (2 rows)", "said 已修改。", "after 1"} << "甲 新";
        QTest::newRow("modify without a selection asks before any step")
            << "modify" << -1 << false << QStringList{"said 请先在列表中选中一条信息"} << "甲 乙";
        QTest::newRow("modify refused keeps the record")
            << "modify" << 0 << true << QStringList{"check"} << "甲 乙";
    }

    void editSteps()
    {
        QFETCH(QString, command);
        QFETCH(int, selected);
        QFETCH(bool, refuse);
        NotesBook book;
        book.add({"甲", "乙"});
        QWidget window;
        auto* list = new RecordList(&window);
        auto* box = new QLineEdit(&window);
        QStringList steps;
        // Counted as another program reads the book: what is there is stored.
        const auto rows = [&book] { return book.app.column("select 标题 from notes").size(); };
        BookDescriptor d = titles();
        d.fields.bind(box, "标题");
        d.add.refused = d.modify.refused = [&] {
            steps << "check";
            return refuse;
        };
        d.add.written = d.modify.written = [&](int line) {
            steps << QString("written %1 (%2 rows)").arg(line).arg(rows());
        };
        d.add.done = {"已加入。", "提示"};
        d.modify.done = {"已修改。", "提示"};
        d.add.said = d.modify.said = [&](int line) { steps << QString("after %1").arg(line); };
        book.app.dialogs.onMessage = [&](const auto& m) { steps << "said " + m.text; };
        RecordBookController c(servicesOf(book.app.context()), d, list);
        c.reopen("select * from notes");
        c.fillList();
        c.selectLine(selected);
        box->setText("新");
        command == "add" ? c.addRecord() : c.modifySelected();
        QTEST(steps, "steps");
        QTEST(book.app.column("select 标题 from notes").join(' '), "stored");
    }

    void searchesMatchLiterally_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        const auto row = [](const char* name, const char* kind, const QString& text,
                            const QStringList& found) {
            QTest::newRow(name) << QString(kind) << text << found;
        };
        row("percent is a character", "substring", "50%", {"打折50%"});
        row("underscore is a character", "substring", "a_b", {"a_b"});
        row("quote", "substring", "it's", {"it's"});
        row("backslash", "substring", "c:\\", {"c:\\x"});
        row("statement text is just text", "substring", "'; drop table notes; --", {});
        row("any char finds either character, and empty patterns the empty text", "anychar", "会议",
            {"开会", "议程", ""});
        row("any char of nothing finds only the empty text", "anychar", "", {""});
        // Only the first six characters take part, each whole.
        row("any char takes six characters", "anychar", "mnopqr会", {});
        row("any char counts a character beyond the BMP as one", "anychar", "𠀀𠀀𠀀𠀀𠀀议",
            {"议程"});
        row("substring of nothing finds all but null", "substring", "", kTitles);
    }

    void searchesMatchLiterally()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        NotesBook book;
        book.add(kTitles);
        book.app.exec("insert into notes (标题) values (null)");
        const QString sql = kind == "substring" ? substringStatement(kHead, "标题", text)
                                                : anyCharStatement(kHead, "标题", text);
        store::Recordset rs(sql, book.app.context().dbConnection());
        QStringList got;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            got << rs.text("标题");
        QCOMPARE(got, found);
        QCOMPARE(book.app.scalar("select count(*) from notes"), "10");
    }

    void bindingsWrite_data()
    {
        // Boxes: 标题 (nothing/null), 日期 (date), 星期 ("100"), 标签 (empty text);
        // 正文 is computed from 标题, written only when 标题 is not blank.
        // stored: 标题 正文 日期 星期 标签, as plain SQLite reads them
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("stored");
        const QString n = "<null>";
        const QStringList none(4, ""), blank{n, n, n, "100", ""};
        QTest::newRow("add, all empty") << false << none << blank;
        QTest::newRow("modify, all empty") << true << none << blank;
        QTest::newRow("add, all filled") << false << QStringList{"题 ", "2004-5-16", "3", "x"}
                                         << QStringList{"题 ", "题", "2004-05-16", "3", "x"};
        QTest::newRow("modify, all filled")
            << true << QStringList{"  ", "2026/12/6 8:05", "0", " "}
            << QStringList{"  ", "旧文", "2026-12-06 08:05:00", "0", " "};
    }

    void bindingsWrite()
    {
        QFETCH(bool, modify);
        QFETCH(QStringList, boxes);
        NotesBook book;
        book.app.exec("insert into notes values ('旧', '旧文', '2001-01-01', '5', '旧签')");
        QLineEdit title, date, weekday;
        QComboBox tag;
        tag.setEditable(true);
        FieldBindings b;
        b.bind(&title, "标题")
            .bind(&date, "日期", FieldBinding::Display::Date)
            .bind(&weekday, "星期", FieldBinding::Display::Text, FieldBinding::Empty::Hundred)
            .bind(&tag, "标签", FieldBinding::Display::Text, FieldBinding::Empty::EmptyText)
            .compute("正文", [&](Mode mode) -> std::optional<QVariant> {
                const QString t = title.text().trimmed();
                if (!t.isEmpty()) return QVariant(t);
                if (mode == Mode::Add) return std::nullopt;
                return title.text().isEmpty() ? QVariant() : std::optional<QVariant>();
            });
        title.setText(boxes[0]);
        date.setText(boxes[1]);
        weekday.setText(boxes[2]);
        tag.setEditText(boxes[3]);

        store::Recordset rs("select * from notes", book.app.context().dbConnection());
        if (!modify) rs.addNew();
        b.collect(rs, modify ? Mode::Modify : Mode::Add);
        rs.update();
        const QString where = modify ? "" : " where rowid = 2";
        QStringList got;
        for (const char* column : {"标题", "正文", "日期", "星期", "标签"})
            got << book.app.scalar(QString("select %1 from notes").arg(column) + where);
        QTEST(got, "stored");
    }

    void bindingsFill()
    {
        NotesBook book;
        book.app.exec(
            "insert into notes values ('a\r\nb', null, '2004-05-16 08:00:00', '100', null)");
        QLineEdit title, date, weekday, tag;
        QPlainTextEdit text;
        tag.setText("stale");
        FieldBindings b;
        b.bind(&title, "标题")
            .bind(&date, "日期", FieldBinding::Display::Date)
            .bind(&weekday, "星期")
            .bind(&tag, "标签")
            .show(&text, "正文");
        text.setPlainText("stale");
        store::Recordset rs("select * from notes", book.app.context().dbConnection());
        b.fillBoxes(rs);
        QCOMPARE((QStringList{title.text(), date.text(), weekday.text(), tag.text(),
                              text.toPlainText()}),
                 (QStringList{"a\r\nb", "2004-05-16 8:00", "100", "", ""}));

        // A show-only box is never written back.
        text.setPlainText("不写");
        rs.addNew();
        b.collect(rs, Mode::Add);
        rs.update();
        QCOMPARE(book.app.column("select 正文 from notes"), (QStringList{"<null>", "<null>"}));
    }

    void listModelLines()
    {
        NotesBook book;
        book.add({"一\r\n行", "二\n", "三"});
        auto rs = std::make_unique<store::Recordset>("select * from notes",
                                                     book.app.context().dbConnection());
        ListModel model("标题");
        auto lines = [&] {
            QStringList out;
            for (int i = 0; i < model.rowCount(); ++i)
                out << model.index(i).data().toString();
            return out;
        };
        model.setCursor(rs.get());
        QCOMPARE(lines(), (QStringList{"一行", "二", "三"}));
        // A cursor gone before its list leaves empty lines, never a read of freed rows.
        model.retarget(nullptr);
        rs.reset();
        QCOMPARE(lines(), (QStringList{"", "", ""}));
    }

    void selectionRules_data()
    {
        // Each action: "c<n>" click line n, "d<n>" double-click line n, "e" click
        // below the lines, "k" arrow down, "s<n>" select line n from code.
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("loads");
        QTest::addColumn<QString>("doubleClicks");
        const auto row = [](const char* name, const char* actions, int selected, const char* loads,
                            const char* doubleClicks) {
            QTest::newRow(name) << QString(actions) << selected << QString(loads)
                                << QString(doubleClicks);
        };
        row("click below the lines keeps the selection", "c2 e", 2, "2:丙", "");
        row("click below with nothing selected selects nothing", "e", -1, "", "");
        row("double-click on another line loads it first", "c0 d2", 2, "0:甲 2:丙", "2");
        row("double-click on the selected line loads nothing new", "c1 d1", 1, "1:乙", "1");
        row("keyboard selection loads", "c0 k", 1, "0:甲 1:乙", "");
        row("selecting a line that is not there does nothing", "s1 s3", 1, "1:乙", "");
    }

    void selectionRules()
    {
        QFETCH(QString, actions);
        NotesWindow w({"甲", "乙", "丙"});
        QWidget* viewport = w.list->viewport();
        for (const QString& a : actions.split(u' ', Qt::SkipEmptyParts)) {
            const QChar kind = a.at(0);
            const int n = a.mid(1).toInt();
            const QPoint at = kind == 'e' ? QPoint(20, viewport->height() - 5) : w.lineAt(n);
            if (kind == 'k')
                QTest::keyClick(w.list, Qt::Key_Down);
            else if (kind == 's')
                w.controller.selectLine(n);
            else // a double-click delivers a press and release first, as a real one does
                QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
            if (kind == 'd') QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        }
        QTEST(w.controller.selectedLine(), "selected");
        QTEST(w.loads.join(' '), "loads");
        QTEST(w.doubleClicks.join(' '), "doubleClicks");
        QVERIFY(w.book.app.exitCodes.isEmpty());
    }

    void requireSelection()
    {
        NotesWindow w({"甲", "乙"});
        // A focused list with a current line but no selection still has no selected line.
        w.list->setFocus();
        w.list->selectionModel()->setCurrentIndex(w.controller.model().index(1),
                                                  QItemSelectionModel::NoUpdate);
        QVERIFY(!w.controller.requireSelection());
        w.controller.selectLine(1);
        QVERIFY(w.controller.requireSelection());
        QCOMPARE(w.book.app.dialogs.messages.size(), 1);
    }

    void reopenKeepsLinesAndFillMovesFirst()
    {
        NotesWindow w({"甲", "乙", "丙"});
        QCOMPARE(w.controller.cursor().absolutePosition(), 1);
        QVERIFY(w.controller.recordForLine(2) && w.controller.cursor().text("标题") == "丙");
        QVERIFY(!w.controller.recordForLine(3) && !w.controller.recordForLine(-1));
        // Reopening keeps the old lines, read from the new cursor, until the list is filled.
        w.controller.reopen("select  * from notes where 标题 = '乙'");
        const auto line = [&](int n) { return w.controller.model().index(n).data().toString(); };
        QCOMPARE(QString::number(w.controller.lineCount()) + line(0) + "|" + line(2), "3乙|");
        w.controller.reopen("select * from notes where 标题 = '无'");
        w.controller.fillList();
        QVERIFY(w.controller.lineCount() == 0 && w.controller.cursor().eof());
        w.controller.closeCursor();
        QVERIFY(!w.controller.hasCursor() && w.controller.lineCount() == 0);
    }

    void boxTexts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("shown: due list, one blank line between entries")
            << "shown" << QStringLiteral("a\n\r\n\rb\n\r\n\r") << QStringLiteral("a\n\nb\n\n");
        QTest::newRow("shown: every kind of break")
            << "shown" << QStringLiteral("a\r\nb\rc\nd\n\re") << QStringLiteral("a\nb\nc\nd\ne");
        // Characters the document itself reads as separators still come back as they were.
        const QString odd = QStringLiteral("a") + QChar(0) + QChar(0x2028) + "b" + QChar(0x2029) +
                            QChar(0xfdd0) + QChar(0xfdd1) + "\r" + QChar(0xd83d) + QChar(0xde00);
        QTest::newRow("pieces: separators, NUL and a surrogate pair")
            << "pieces" << odd
            << QStringLiteral("a") + QChar(0) + "\nb\n\n\n\n" + QChar(0xd83d) + QChar(0xde00);
        QTest::newRow("pieces: CR LF split between pieces")
            << "pieces" << QStringLiteral("x\r\n\r\ny\n") << QStringLiteral("x\n\ny\n");
        QString many, shown, edited;
        for (int i = 0; i < 100; ++i) {
            many += QString::number(i) + (i % 2 ? "\r\n" : "\n");
            shown += QString::number(i) + "\n";
            edited += QString::number(i) + "\r\n";
        }
        QTest::newRow("shown: a hundred lines") << "shown" << many << shown;
        QTest::newRow("edited: every break becomes CR LF") << "edited" << many << edited + "x";
        QTest::newRow("list line")
            << "line" << QStringLiteral("x  ---标记\r\ny\n\r-") << QStringLiteral("x  ---标记y-");
        QTest::newRow("rtf escapes and code units")
            << "rtf" << QStringLiteral("a{b}\\c\r\n中：")
            << QStringLiteral("{\\rtf1\\ansi\\uc1 a\\{b\\}\\\\c\\par \\u20013?\\u-230?}");
    }

    void boxTexts()
    {
        QFETCH(QString, kind);
        QFETCH(QString, in);
        QFETCH(QString, out);
        RawTextEdit box;
        box.setRawText(in);
        if (kind == "shown") {
            QCOMPARE(box.toPlainText(), out);
            QCOMPARE(box.rawText(), in);
            QVERIFY(box.blockCount() <= 1 + in.count(u'\n') / 16);
        } else if (kind == "edited") {
            QTextCursor end = box.textCursor();
            end.movePosition(QTextCursor::End);
            box.setTextCursor(end);
            box.insertPlainText("x");
            QCOMPARE(box.rawText(), out);
        } else if (kind == "pieces") {
            // A first piece of over 1 MB goes into the document at once; split
            // at every point, what it leaves must join the second piece.
            const QString filler(1 << 20, u'.');
            for (int at = 0; at <= in.size(); ++at) {
                box.beginRawText();
                box.appendRawText(filler + in.left(at));
                box.appendRawText(QStringView(in).mid(at));
                box.endRawText();
                QCOMPARE(box.rawText(), filler + in);
                QCOMPARE(box.toPlainText(), filler + out);
            }
        } else if (kind == "line")
            QCOMPARE(lineText(in), out);
        else
            QCOMPARE(rtfFromText(in), out);
    }
};

QTEST_MAIN(TestRecordbook)

#include "test_recordbook.moc"
