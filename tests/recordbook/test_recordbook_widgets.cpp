#include "NotesBook.h"
#include "RecordbookTests.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/ListModel.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/RecordList.h"
#include "recordbook/TextBoxes.h"
#include "store/Recordset.h"

#include <QLineEdit>
#include <QTextCursor>
#include <QtTest>

using namespace recordbook;

namespace {

// A list window in miniature: the list, one box, and a controller that
// owns its cursor over the notes table.
struct NotesWindow {
    NotesBook book;
    QWidget window;
    RecordList* list = new RecordList(&window);
    QLineEdit* box = new QLineEdit(&window);
    RecordBookController controller{book.app.context(), list, "标题"};
    QStringList loads; // "line:title" per load
    QStringList doubleClicks;

    NotesWindow(const QStringList& titles)
    {
        book.add(titles);
        list->setGeometry(0, 0, 200, 300);
        box->setGeometry(0, 310, 200, 20);
        window.resize(220, 340);
        controller.setLoadHandler([this](int line) {
            controller.recordForLine(line);
            loads << QString::number(line) + ":" + controller.cursor().text("标题");
            box->setText(controller.cursor().text("标题"));
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

void TestRecordbookWidgets::selectionRules_data()
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

void TestRecordbookWidgets::selectionRules()
{
    QFETCH(QString, actions);
    NotesWindow w({"甲", "乙", "丙"});
    QWidget* viewport = w.list->viewport();
    for (const QString& a : actions.split(u' ', Qt::SkipEmptyParts)) {
        const int n = a.mid(1).toInt();
        switch (a.at(0).toLatin1()) {
        case 'c':
            QTest::mouseClick(viewport, Qt::LeftButton, {}, w.lineAt(n));
            break;
        case 'd':
            // A double-click delivers a press and release first, as a real one does.
            QTest::mouseClick(viewport, Qt::LeftButton, {}, w.lineAt(n));
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.lineAt(n));
            break;
        case 'e':
            QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 5));
            break;
        case 'k':
            QTest::keyClick(w.list, Qt::Key_Down);
            break;
        case 's':
            w.controller.selectLine(n);
            break;
        }
    }
    QTEST(w.controller.selectedLine(), "selected");
    QTEST(w.loads.join(' '), "loads");
    QTEST(w.doubleClicks.join(' '), "doubleClicks");
    QVERIFY(w.book.app.exitCodes.isEmpty());
}

void TestRecordbookWidgets::requireSelection()
{
    NotesWindow w({"甲", "乙"});
    QVERIFY(!w.controller.requireSelection());
    QCOMPARE(w.book.app.dialogs.messages.size(), 1);
    // A focused list with a current line but no selection still has no selected line.
    w.list->setFocus();
    w.list->selectionModel()->setCurrentIndex(w.controller.model().index(1),
                                              QItemSelectionModel::NoUpdate);
    QVERIFY(!w.controller.requireSelection());
    w.controller.selectLine(1);
    QVERIFY(w.controller.requireSelection());
    QCOMPARE(w.book.app.dialogs.messages.size(), 2);
}

void TestRecordbookWidgets::reopenKeepsLinesAndFillMovesFirst()
{
    NotesWindow w({"甲", "乙", "丙"});
    QCOMPARE(w.controller.cursor().absolutePosition(), 1);
    QVERIFY(w.controller.recordForLine(2) && w.controller.cursor().text("标题") == "丙");
    QVERIFY(!w.controller.recordForLine(3) && !w.controller.recordForLine(-1));
    // Reopening keeps the old lines, read from the new cursor, until the list is filled.
    w.controller.reopen("select  * from notes where 标题 = '乙'");
    const auto line = [&](int n) { return w.controller.model().index(n).data().toString(); };
    QCOMPARE(w.controller.lineCount(), 3);
    QCOMPARE(line(0) + "|" + line(2), "乙|");
    w.controller.reopen("select * from notes where 标题 = '无'");
    w.controller.fillList();
    QVERIFY(w.controller.lineCount() == 0 && w.controller.cursor().eof());
    w.controller.closeCursor();
    QVERIFY(!w.controller.hasCursor() && w.controller.lineCount() == 0);
}

void TestRecordbookWidgets::boxTexts_data()
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
    QTest::newRow("list line") << "line" << QStringLiteral("x  ---标记\r\ny\n\r-")
                               << QStringLiteral("x  ---标记y-");
    QTest::newRow("rtf escapes and code units")
        << "rtf" << QStringLiteral("a{b}\\c\r\n中：")
        << QStringLiteral("{\\rtf1\\ansi\\uc1 a\\{b\\}\\\\c\\par \\u20013?\\u-230?}");
}

void TestRecordbookWidgets::boxTexts()
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
