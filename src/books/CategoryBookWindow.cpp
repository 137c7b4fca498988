#include "books/CategoryBookWindow.h"

#include "core/Columns.h"
#include "platform/Icons.h"
#include "platform/ScreenFit.h"
#include "recordbook/Keyboard.h"
#include "recordbook/RecordBookController.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "ui_CategoryBook.h"

#include <QCloseEvent>
#include <QCompleter>
#include <QMenuBar>
#include <QTimer>

namespace books {

CategoryBookWindow::CategoryBookWindow(const BookConfig& config, shell::AppContext& context,
                                       QWidget* parent)
    : QMainWindow(parent), m_config(config), m_sql{config.table}, m_context(context),
      m_ui(std::make_unique<Ui::CategoryBook>())
{
    m_ui->setupUi(this);
    m_ui->Text1->setDragFormats(recordbook::PlainText | recordbook::RichText);
    // Completing inline would put a category the user did not type into the box.
    m_ui->Combo1->completer()->setCompletionMode(QCompleter::PopupCompletion);
    applyConfig();
    setUpIcons();

    m_book = new recordbook::RecordBookController(recordbook::servicesOf(m_context), entryBook(),
                                                  m_ui->List1, this);
    if (m_config.nameSource == NameSource::FileDialog) {
        connect(m_book, &recordbook::RecordBookController::lineDoubleClicked, this,
                [this](int line) { m_context.guarded([this, line] { openLine(line); }); });
    }

    auto nodeClicked = [this](QTreeWidgetItem* node) {
        if (node) m_context.guarded([this, node] { nodeClick(*node); });
    };
    connect(m_ui->TreeView1, &QTreeWidget::itemClicked, this, nodeClicked);
    connect(m_ui->TreeView1, &QTreeWidget::itemActivated, this, nodeClicked);

    connectCommands();
    buildMenu();
    platform::fitToScreen(*this);
    // Without its cursors the window could do nothing: it closes, and the
    // next press of its button tries again.
    if (!m_context.guarded([this] { reloadTreeAndList(); }))
        QTimer::singleShot(0, this, &QWidget::close);
}

CategoryBookWindow::~CategoryBookWindow() = default;

store::Recordset* CategoryBookWindow::bookCursor() const
{
    return m_book->hasCursor() ? &m_book->cursor() : nullptr;
}

void CategoryBookWindow::applyConfig()
{
    setObjectName(m_config.windowName);
    setWindowTitle(m_config.caption);
    m_ui->Label1->setText(m_config.treeLabel);
    m_ui->Label2->setText(m_config.descriptionLabel);
    for (const auto& [control, tip] : m_config.toolTips) {
        if (auto* widget = findChild<QWidget*>(control)) widget->setToolTip(tip);
    }
}

void CategoryBookWindow::setUpIcons()
{
    const std::pair<QToolButton*, const char*> buttons[] = {
        {m_ui->Image1, "add"},       {m_ui->Image2, "edit"},       {m_ui->dcsc, "delete"},
        {m_ui->zwcz, "search-text"}, {m_ui->Image6, "search-any"}, {m_ui->Image5, "keywords"},
        {m_ui->Image7, "clear"},     {m_ui->Image4, "refresh"},    {m_ui->Image3, "back"},
    };
    for (const auto& [button, name] : buttons)
        button->setIcon(platform::lumoIcon(name));
}

void CategoryBookWindow::connectCommands()
{
    m_commands = {
        {QStringLiteral("Image1"), [this] { addEntry(); }},
        {QStringLiteral("Image2"), [this] { modifyEntry(); }},
        {QStringLiteral("dcsc"), [this] { remove(); }},
        {QStringLiteral("zwcz"), [this] { substringSearch(); }},
        {QStringLiteral("Image6"), [this] { anyCharSearch(); }},
        {QStringLiteral("Image5"), [this] { showKeywords(); }},
        {QStringLiteral("Image7"), [this] { clearBoxes(); }},
        {QStringLiteral("Image4"), [this] { reloadTreeAndList(); }},
        {QStringLiteral("Image3"), [this] { returnToMain(); }},
    };
    for (const auto& [name, command] : m_commands) {
        auto* button = findChild<QAbstractButton*>(name);
        connect(button, &QAbstractButton::clicked, this,
                [this, run = command] { m_context.guarded(run); });
    }
}

void CategoryBookWindow::buildMenu()
{
    // A menu item runs its button's command and nothing else.
    QMenu* submenu = nullptr;
    for (const MenuItem& item : m_config.menu) {
        if (item.button.isEmpty()) {
            submenu = m_ui->menubar->addMenu(item.caption);
            submenu->setObjectName(item.name);
            submenu->menuAction()->setObjectName(item.name);
            continue;
        }
        QAction* action = item.inSubmenu && submenu ? submenu->addAction(item.caption)
                                                    : m_ui->menubar->addAction(item.caption);
        action->setObjectName(item.name);
        // On the menu bar itself an icon would replace the caption.
        if (item.inSubmenu && submenu)
            action->setIcon(findChild<QAbstractButton*>(item.button)->icon());
        connect(action, &QAction::triggered, this,
                [this, run = m_commands.at(item.button)] { m_context.guarded(run); });
    }
    setUpKeys();
}

void CategoryBookWindow::setUpKeys()
{
    recordbook::setUpKeyboard(*this);
    recordbook::focusKeyFor(*this, m_ui->Text2);
    // A command without a menu item still gets its key, through an action of the window.
    const std::tuple<QString, QKeySequence, QWidget*> keys[] = {
        {QStringLiteral("Image7"), recordbook::kClearKey, nullptr},
        {QStringLiteral("Image4"), recordbook::kRefreshKey, nullptr},
        {QStringLiteral("dcsc"), recordbook::kDeleteKey, m_ui->List1},
    };
    for (const auto& [button, key, onlyIn] : keys) {
        QAction* action = nullptr;
        for (const MenuItem& item : m_config.menu) {
            if (item.button == button) action = findChild<QAction*>(item.name);
        }
        if (!action) {
            action = new QAction(this);
            addAction(action);
            connect(action, &QAction::triggered, this,
                    [this, run = m_commands.at(button)] { m_context.guarded(run); });
        }
        if (onlyIn)
            recordbook::bindKeyToWidget(action, key, onlyIn);
        else
            action->setShortcut(key);
    }
}

void CategoryBookWindow::closeCursors()
{
    m_book->clearList();
    m_book->closeCursor();
    if (m_categoryCursor) m_categoryCursor->close();
    m_categoryCursor.reset();
}

void CategoryBookWindow::returnToMain()
{
    close();
}

void CategoryBookWindow::closeEvent(QCloseEvent* event)
{
    closeCursors();
    event->accept();
}

} // namespace books
