#pragma once

// A fifth list window as docs/adding-a-list-window.md builds it: a book of
// notes over a table of the tests' own. Only what is particular to it is
// written here; the record book runs the shared flows from the descriptor.

#include "recordbook/FieldBindings.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/RecordList.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace example {

inline const QString kNotesTable = QStringLiteral(
    "create table notes (标题 TEXT COLLATE NOCASE, 正文 TEXT COLLATE NOCASE, 关键字 TEXT)");

// 1. The descriptor: table, columns, statements, what Delete says when done.
inline recordbook::BookDescriptor notesBook()
{
    recordbook::BookDescriptor book;
    book.table = QStringLiteral("notes");
    book.listColumn = QStringLiteral("标题");
    book.searchColumn = QStringLiteral("正文");
    book.keywordColumn = QStringLiteral("关键字");
    book.allRows = QStringLiteral("select * from notes");
    book.searchHead = QStringLiteral("select  * from notes where ");
    book.deletedText = QStringLiteral("删除成功！");
    book.deletedTitle = QStringLiteral("提醒");
    return book;
}

class NotesWindow : public QWidget {
public:
    explicit NotesWindow(shell::AppContext& context) : m_context(context)
    {
        // 2. The widgets, named as the window's controls.
        auto* layout = new QVBoxLayout(this);
        for (auto [box, name] : {std::pair{&m_title, "Text1"},
                                 {&m_body, "Text2"},
                                 {&m_keyword, "gjz"},
                                 {&m_search, "searchBox"}}) {
            *box = new QLineEdit(this);
            (*box)->setObjectName(QString::fromLatin1(name));
            layout->addWidget(*box);
        }
        auto* list = new recordbook::RecordList(this);
        list->setObjectName(QStringLiteral("List1"));
        layout->addWidget(list);

        // 3. The record book and the boxes bound to the columns.
        m_book = new recordbook::RecordBookController(recordbook::servicesOf(context), notesBook(),
                                                      list, this);
        m_book->setLoadHandler([this](int line) {
            if (m_book->recordForLine(line)) m_fields.fillBoxes(m_book->cursor());
        });
        m_fields.bind(m_title, QStringLiteral("标题"))
            .bind(m_body, QStringLiteral("正文"))
            .bind(m_keyword, QStringLiteral("关键字"));

        // 4. The commands: the shared flows, and the window's own add and modify.
        command("add", [this] { add(); });
        command("modify", [this] { modify(); });
        command("remove", [this] { m_book->deleteSelected([this] { refresh(); }); });
        command("substring", [this] {
            m_book->searchSubstring(m_search->text());
            m_book->fillList();
        });
        command("anyChar", [this] {
            m_book->searchAnyChar(m_search->text());
            m_book->fillList();
        });
        command("keywords", [this] { m_body->setText(m_book->keywordOverview()); });
        context.guarded([this] { refresh(); });
    }

private:
    void command(const char* name, std::function<void()> run)
    {
        auto* button = new QPushButton(QString::fromLatin1(name), this);
        button->setObjectName(QString::fromLatin1(name));
        layout()->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, run = std::move(run)] { m_context.guarded(run); });
    }
    void refresh()
    {
        m_fields.clearBoxes();
        m_book->reopenAll();
        m_book->fillList();
    }
    void add()
    {
        m_book->cursor().addNew();
        m_fields.collect(m_book->cursor(), recordbook::Mode::Add);
        m_book->cursor().update();
        refresh();
    }
    void modify()
    {
        if (!m_book->requireSelection()) return;
        const int line = m_book->selectedLine();
        if (!m_book->recordForLine(line)) return;
        m_fields.collect(m_book->cursor(), recordbook::Mode::Modify);
        m_book->cursor().update();
        refresh();
        m_book->selectLine(line);
    }

    shell::AppContext& m_context;
    recordbook::RecordBookController* m_book = nullptr;
    recordbook::FieldBindings m_fields;
    QLineEdit *m_title = nullptr, *m_body = nullptr, *m_keyword = nullptr, *m_search = nullptr;
};

} // namespace example
