// The procedures of a category book: what its buttons, menus, tree and list do.
#include "books/CategoryBookWindow.h"
#include "books/CategoryTree.h"

#include "core/Columns.h"
#include "core/SearchStatements.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "recordbook/RecordBookController.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "ui_CategoryBook.h"

namespace books {

namespace {

const QString kFileDialogTitle = QStringLiteral("请选择一个文件");
const QString kFileDialogFilter = QStringLiteral("所有文件(*.*)|*.*");

} // namespace

void CategoryBookWindow::emptyDescriptionAndCategory()
{
    recordbook::setBoxText(m_ui->Text1, QString());
    setCategoryText(*m_ui->Combo1, QString());
}

void CategoryBookWindow::reloadTreeAndList()
{
    m_ui->TreeView1->clear();
    m_book->clearList();
    setCategoryText(*m_ui->Combo1, QString());
    m_book->reopen(m_sql.allRows());
    m_book->fillList();
    refreshCategories();
}

// A category named by Add or Modify shows in the tree and the box at once;
// the book's cursor keeps what it holds, a search result included.
void CategoryBookWindow::refreshCategories()
{
    m_categoryCursor.reset();
    m_categoryCursor =
        std::make_unique<store::Recordset>(m_sql.categories(), m_context.dbConnection());
    fillCategories(*m_categoryCursor, *m_ui->TreeView1, *m_ui->Combo1);
}

void CategoryBookWindow::nodeClick(const QTreeWidgetItem& node)
{
    // The node's own text, blanks and letter case as stored: every entry the
    // statement finds is listed.
    const QString category = node.text(0);
    m_book->clearList();
    m_book->reopen(m_sql.oneCategory(category));
    m_book->fillList();
    if (m_book->lineCount() > 0) setCategoryText(*m_ui->Combo1, category);
}

recordbook::BookDescriptor CategoryBookWindow::entryBook()
{
    const bool files = m_config.nameSource == NameSource::FileDialog;
    recordbook::BookDescriptor book;
    book.table = m_config.table;
    book.listColumn = columns::kName;
    book.searchColumn = columns::kDescription;
    book.keywordColumn = columns::kKeyword;
    book.allRows = m_sql.allRows();
    book.searchHead = m_sql.searchHead();
    book.fields.bind(m_ui->Text1, columns::kDescription)
        .bind(m_ui->Combo1, columns::kCategory)
        .bind(m_ui->gjz, columns::kKeyword);
    if (files)
        book.fields.addOnly(columns::kName, [this] { return m_addedName; });
    else
        book.fields.bind(m_ui->Text2, columns::kName);
    // Text2 is the document book's search box only: a loaded entry empties it.
    if (files) book.load.after = [this](int) { m_ui->Text2->clear(); };
    book.addRows = m_sql.allRowsForAdding();
    // A file link that cannot be stored is reported; the window goes on.
    if (files) book.addRefusedHead = QStringLiteral("无法添加文件链接：");
    // The name is asked first, so that a cancelled dialog leaves the book and its list as they
    // were.
    book.add.refused = [this] {
        const std::optional<QString> name = newEntryName();
        if (name) m_addedName = *name;
        return !name;
    };
    book.add.written = [this](int) {
        m_addedName.clear();
        refreshCategories();
        refreshAndSelectLast();
    };
    book.modify.written = [this](int line) {
        refreshCategories();
        refreshAndSelectLast();
        m_book->selectLine(line);
    };
    book.modify.done = {QStringLiteral("设置相关信息成功！"), QStringLiteral("提示")};
    book.deleted = {QStringLiteral("删除成功！"), QStringLiteral("提醒")};
    return book;
}

std::optional<QString> CategoryBookWindow::newEntryName() const
{
    if (m_config.nameSource == NameSource::Text2) return m_ui->Text2->text();
    const QString path =
        m_context.services().dialogs->openFile(kFileDialogTitle, kFileDialogFilter, QString());
    if (path.isEmpty()) return std::nullopt;
    return path;
}

void CategoryBookWindow::addEntry()
{
    m_book->addRecord();
}

void CategoryBookWindow::modifyEntry()
{
    m_book->modifySelected();
}

void CategoryBookWindow::remove()
{
    // Only the entry goes; a linked file stays where it is.
    m_book->deleteSelected([this] {
        clearBoxes();
        refreshList();
    });
}

void CategoryBookWindow::refreshAndSelectLast()
{
    m_book->clearList();
    m_book->fillList();
    emptyDescriptionAndCategory();
    m_book->selectLine(m_book->lineCount() - 1);
}

void CategoryBookWindow::refreshList()
{
    emptyDescriptionAndCategory();
    m_book->clearList();
    m_book->fillList();
}

void CategoryBookWindow::substringSearch()
{
    m_book->searchSubstring(m_ui->Text2->text());
    refreshList();
}

void CategoryBookWindow::anyCharSearch()
{
    emptyDescriptionAndCategory();
    m_book->clearList();
    m_book->searchAnyChar(m_ui->Text2->text());
    m_book->fillList();
}

void CategoryBookWindow::showKeywords()
{
    m_ui->Text1->clear();
    m_ui->Text2->clear();
    setCategoryText(*m_ui->Combo1, QString());
    m_ui->gjz->clear();
    recordbook::setBoxText(m_ui->Text1, m_book->keywordOverview());
    m_book->clearList();
    m_book->reopenAll();
}

void CategoryBookWindow::clearBoxes()
{
    m_ui->Text1->clear();
    m_ui->Text2->clear();
    m_ui->gjz->clear();
    m_book->clearSelection();
}

void CategoryBookWindow::openLine(int line)
{
    if (!m_book->hasCursor() || !m_book->recordForLine(line)) return;
    const store::Recordset& c = m_book->cursor();
    emptyDescriptionAndCategory();
    recordbook::setBoxText(m_ui->Text1, c.text(columns::kDescription));
    setCategoryText(*m_ui->Combo1, c.text(columns::kCategory));
    const QString path = core::searchText(c.text(columns::kName));
    const QString error = m_context.services().desktop->open(path);
    if (!error.isEmpty())
        m_context.services().dialogs->message(error, QStringLiteral("警告"), platform::Buttons::Ok,
                                              platform::Icon::Warning);
}

} // namespace books
