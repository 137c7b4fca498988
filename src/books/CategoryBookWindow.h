#pragma once

#include "books/BookConfig.h"
#include "books/BookSql.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

class QTreeWidgetItem;

namespace shell {
class AppContext;
}
namespace store {
class Recordset;
}
namespace recordbook {
struct BookDescriptor;
class RecordBookController;
} // namespace recordbook

namespace books {

namespace Ui {
class CategoryBook;
}

// A category book: entries of one table listed by name, their categories as
// a tree, the selected entry in the boxes. The two books differ only in
// their BookConfig.
class CategoryBookWindow : public QMainWindow {
    Q_OBJECT
public:
    CategoryBookWindow(const BookConfig& config, shell::AppContext& context,
                       QWidget* parent = nullptr);
    ~CategoryBookWindow() override;

    const BookConfig& config() const { return m_config; }
    // The record set the list shows; null after Return.
    store::Recordset* bookCursor() const;
    store::Recordset* categoryCursor() const { return m_categoryCursor.get(); }

    // The window's procedures, as its buttons and menus run them.
    void reloadTreeAndList(); // treewbsx: the whole book, the tree and the category box
    void nodeClick(const QTreeWidgetItem& node);
    void addEntry();    // dwbwj
    void modifyEntry(); // xgflsz
    void remove();
    void refreshAndSelectLast(); // wbsx
    void refreshList();          // dcsx
    void substringSearch();
    void anyCharSearch(); // lbcjdcsx
    void showKeywords();
    void clearBoxes();
    void returnToMain();
    void openLine(int line);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    recordbook::BookDescriptor entryBook();
    void applyConfig();
    void setUpIcons();
    void buildMenu();
    void connectCommands();
    void setUpKeys();
    void refreshCategories();
    void emptyDescriptionAndCategory();
    std::optional<QString> newEntryName() const;
    void closeCursors();

    const BookConfig& m_config;
    BookSql m_sql;
    shell::AppContext& m_context;
    std::unique_ptr<Ui::CategoryBook> m_ui;
    recordbook::RecordBookController* m_book = nullptr;
    std::unique_ptr<store::Recordset> m_categoryCursor;
    std::map<QString, std::function<void()>> m_commands; // by button objectName
    QString m_addedName;                                 // the name of the entry being added
};

} // namespace books
