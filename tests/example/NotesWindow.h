#pragma once

// A fifth list window as docs/adding-a-list-window.md builds it: a book of
// notes over a table of the tests' own. Only what is particular to it is
// written here; the record book runs the commands from the descriptor.

#include "recordbook/RecordBookController.h"
#include "recordbook/RecordList.h"
#include "shell/AppContext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace example {

inline const QString kNotesTable = QStringLiteral(
    "create table notes (标题 TEXT COLLATE NOCASE, 正文 TEXT COLLATE NOCASE, 关键字 TEXT)");
inline const QString kNoTitleText = QStringLiteral("请先填写标题。");

class NotesWindow : public QWidget {
public:
    explicit NotesWindow(shell::AppContext& context) : m_context(context)
    {
        // 1. The widgets, named as the window's controls.
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

        // 2. The record book, run from the descriptor.
        m_book = new recordbook::RecordBookController(recordbook::servicesOf(context), notesBook(),
                                                      list, this);

        // 3. The commands, every one the record book's.
        command("add", [this] { m_book->addRecord(); });
        command("modify", [this] { m_book->modifySelected(); });
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
    // The descriptor: table, columns, statements, boxes, what the commands
    // say and the steps that are this window's own.
    recordbook::BookDescriptor notesBook()
    {
        recordbook::BookDescriptor book;
        book.table = QStringLiteral("notes");
        book.listColumn = QStringLiteral("标题");
        book.searchColumn = QStringLiteral("正文");
        book.keywordColumn = QStringLiteral("关键字");
        book.allRows = QStringLiteral("select * from notes");
        book.searchHead = QStringLiteral("select  * from notes where ");
        book.fields.bind(m_title, QStringLiteral("标题"))
            .bind(m_body, QStringLiteral("正文"))
            .bind(m_keyword, QStringLiteral("关键字"));
        book.add.refused = [this] { return refusedWithoutTitle(); };
        book.add.written = [this](int) { refresh(); };
        book.add.done = {QStringLiteral("已加入。"), QStringLiteral("提示")};
        book.modify.written = [this](int line) {
            refresh();
            m_book->selectLine(line);
        };
        book.deleted = {QStringLiteral("删除成功！"), QStringLiteral("提醒")};
        return book;
    }
    bool refusedWithoutTitle()
    {
        if (!m_title->text().trimmed().isEmpty()) return false;
        m_context.services().dialogs->message(kNoTitleText, recordbook::kWarningTitle);
        return true;
    }
    void refresh()
    {
        m_book->clearBoxes();
        m_book->reopenAll();
        m_book->fillList();
    }
    void command(const char* name, std::function<void()> run)
    {
        auto* button = new QPushButton(QString::fromLatin1(name), this);
        button->setObjectName(QString::fromLatin1(name));
        layout()->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, run = std::move(run)] { m_context.guarded(run); });
    }

    shell::AppContext& m_context;
    recordbook::RecordBookController* m_book = nullptr;
    QLineEdit *m_title = nullptr, *m_body = nullptr, *m_keyword = nullptr, *m_search = nullptr;
};

} // namespace example
