#include "NotesBook.h"
#include "RecordbookTests.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/ListModel.h"
#include "recordbook/SearchStatements.h"
#include "store/Recordset.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace recordbook;

namespace {
const QString kHead = QStringLiteral("select  * from notes where ");
const QString kEsc = QStringLiteral(" escape '\\'");
} // namespace

// Only the first six characters take part, each whole; empty patterns fill the six.
void TestRecordbook::anyCharPatterns()
{
    const auto anyOf = [](const QString& box, const QStringList& chars) {
        QString sql = kHead + "标题='" + box + "'";
        for (int i = 0; i < 6; ++i)
            sql += " or 标题 like '" + (i < chars.size() ? "%" + chars[i] + "%" : "") + "'" + kEsc;
        return sql;
    };
    QCOMPARE(anyCharStatement(kHead, "标题", "abcdefgh"),
             anyOf("abcdefgh", {"a", "b", "c", "d", "e", "f"}));
    QCOMPARE(anyCharStatement(kHead, "标题", "𠀀x"), anyOf("𠀀x", {"𠀀", "x"}));
}

void TestRecordbook::searchesMatchLiterally_data()
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
    row("substring of nothing finds all but null", "substring", "",
        {"打折50%", "a_b", "axb", "it's", "c:\\x", "开会", "议程", ""});
}

void TestRecordbook::searchesMatchLiterally()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    NotesBook book;
    book.add({"打折50%", "打折500", "a_b", "axb", "it's", "c:\\x", "开会", "议程", ""});
    book.app.exec("insert into notes (标题) values (null)");
    book.app.exec("delete from notes where 标题 = '打折500'");
    const QString sql = kind == "substring" ? substringStatement(kHead, "标题", text)
                                            : anyCharStatement(kHead, "标题", text);
    store::Recordset rs(sql, book.app.context().dbConnection());
    QStringList got;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        got << rs.text("标题");
    QCOMPARE(got, found);
    QCOMPARE(book.app.scalar("select count(*) from notes"), "9");
}

void TestRecordbook::bindingsWrite_data()
{
    // Boxes: 标题 (nothing/null), 日期 (date), 星期 ("100"), 标签 (empty text);
    // 正文 is computed from 标题, written only when 标题 is not blank.
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QStringList>("stored"); // 标题 正文 日期 星期 标签, as plain SQLite reads them
    const QString n = "<null>";
    QTest::newRow("add, all empty")
        << false << QStringList{"", "", "", ""} << QStringList{n, n, n, "100", ""};
    QTest::newRow("modify, all empty")
        << true << QStringList{"", "", "", ""} << QStringList{n, n, n, "100", ""};
    QTest::newRow("add, all filled") << false << QStringList{"题 ", "2004-5-16", "3", "x"}
                                     << QStringList{"题 ", "题", "2004-05-16", "3", "x"};
    QTest::newRow("modify, all filled")
        << true << QStringList{"  ", "2026/12/6 8:05", "0", " "}
        << QStringList{"  ", "<kept>", "2026-12-06 08:05:00", "0", " "};
}

void TestRecordbook::bindingsWrite()
{
    QFETCH(bool, modify);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, stored);
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
    if (modify) {
        b.collect(rs, Mode::Modify);
    } else {
        rs.addNew();
        b.collect(rs, Mode::Add);
    }
    rs.update();
    const QString where = modify ? "" : " where rowid = 2";
    QStringList got;
    for (const char* column : {"标题", "正文", "日期", "星期", "标签"})
        got << book.app.scalar(QString("select %1 from notes").arg(column) + where);
    if (stored[1] == "<kept>") stored[1] = "旧文";
    QCOMPARE(got, stored);
}

void TestRecordbook::bindingsFill()
{
    NotesBook book;
    book.app.exec("insert into notes values ('a\r\nb', null, '2004-05-16 08:00:00', '100', null)");
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
    QCOMPARE(
        (QStringList{title.text(), date.text(), weekday.text(), tag.text(), text.toPlainText()}),
        (QStringList{"a\r\nb", "2004-05-16", "100", "", ""}));

    // A show-only box is never written back.
    text.setPlainText("不写");
    rs.addNew();
    b.collect(rs, Mode::Add);
    rs.update();
    QCOMPARE(book.app.column("select 正文 from notes"), (QStringList{"<null>", "<null>"}));
}

void TestRecordbook::listModelLines()
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

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestRecordbook plain;
    TestRecordbookWidgets widgets;
    return QTest::qExec(&plain, argc, argv) | QTest::qExec(&widgets, argc, argv);
}
