#include "vocabulary/VocabularyWindow.h"

#include "core/Columns.h"
#include "platform/Dialogs.h"
#include "platform/Icons.h"
#include "platform/ScreenFit.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/Keyboard.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/TextBoxes.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "ui_IQDW.h"
#include "vocabulary/WordText.h"

#include <QFileInfo>
#include <QTimer>

namespace vocabulary {

VocabularyWindow::VocabularyWindow(shell::AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_ui(std::make_unique<Ui::VocabularyWindow>())
{
    m_ui->setupUi(this);
    m_words = new recordbook::RecordBookController(recordbook::servicesOf(m_context), wordBook(),
                                                   m_ui->List1, this);

    // The layout keeps its place while the Chinese meaning is hidden.
    QSizePolicy policy = m_ui->rtzw->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_ui->rtzw->setSizePolicy(policy);
    // Drops into this and the other windows' boxes take plain text; word
    // processors take the rich text.
    for (recordbook::RawTextEdit* box : {m_ui->RTB, m_ui->rtzw})
        box->setDragFormats(recordbook::PlainText | recordbook::RichText);
    connect(m_ui->RTB, &recordbook::RawTextEdit::dragStarting, this, [this] {
        m_ui->zw->clear();
        m_ui->gjz->clear();
    });

    setUpIcons();
    connectCommands();
    platform::fitToScreen(*this);
    // Without its cursor the window could do nothing: it closes, and the
    // next press of its button tries again.
    if (!m_context.guarded([this] { load(); })) QTimer::singleShot(0, this, &QWidget::close);
}

VocabularyWindow::~VocabularyWindow() = default;

store::Recordset& VocabularyWindow::wordCursor() const
{
    return m_words->cursor();
}

bool VocabularyWindow::hasWordCursor() const
{
    return m_words->hasCursor();
}

void VocabularyWindow::setUpIcons()
{
    const std::pair<QToolButton*, const char*> buttons[] = {
        {m_ui->zwcz, "search-text"}, {m_ui->Image6, "search-any"}, {m_ui->qbyy, "list-all"},
        {m_ui->Image2, "keywords"},  {m_ui->ckkc, "add"},          {m_ui->Image3, "edit"},
        {m_ui->Image4, "clear"},     {m_ui->Image7, "picture"},    {m_ui->yyld, "speaker"},
        {m_ui->dcsc, "delete"},      {m_ui->Image1, "back"},
    };
    for (const auto& [button, name] : buttons)
        button->setIcon(platform::lumoIcon(name));
    // 返回 sits on the menu bar itself, where an icon would replace its caption.
    const std::pair<QAction*, const char*> actions[] = {
        {m_ui->actionSubstringSearch, "search-text"},
        {m_ui->actionAnyCharSearch, "search-any"},
        {m_ui->actionLoadAll, "list-all"},
        {m_ui->actionKeywords, "keywords"},
        {m_ui->actionAdd, "add"},
        {m_ui->actionAttachPicture, "picture"},
        {m_ui->actionClear, "clear"},
        {m_ui->actionReadAloud, "speaker"},
        {m_ui->actionShowChinese, "show-text"},
        {m_ui->actionHideChinese, "hide-text"},
        {m_ui->actionDelete, "delete"},
        {m_ui->actionModify, "edit"},
    };
    for (const auto& [action, name] : actions)
        action->setIcon(platform::lumoIcon(name));
}

void VocabularyWindow::connectCommands()
{
    // A button and its menu item run the same command; neither does more.
    const struct {
        QAbstractButton* button;
        QAction* action;
        std::function<void()> run;
    } commands[] = {
        {m_ui->zwcz, m_ui->actionSubstringSearch, [this] { substringWordSearch(); }},
        {m_ui->Image6, m_ui->actionAnyCharSearch, [this] { anyCharWordSearch(); }},
        {m_ui->qbyy, m_ui->actionLoadAll, [this] { loadAllWords(); }},
        {m_ui->Image2, m_ui->actionKeywords, [this] { showWordKeywords(); }},
        {m_ui->ckkc, m_ui->actionAdd, [this] { addWord(); }},
        {m_ui->Image7, m_ui->actionAttachPicture, [this] { attachWordPicture(); }},
        {m_ui->Image4, m_ui->actionClear, [this] { clearWordBoxes(); }},
        {m_ui->yyld, m_ui->actionReadAloud, [this] { readAloud(); }},
        {m_ui->xszw, m_ui->actionShowChinese, [this] { setChineseShown(true); }},
        {m_ui->yczw, m_ui->actionHideChinese, [this] { setChineseShown(false); }},
        {m_ui->dcsc, m_ui->actionDelete, [this] { deleteWord(); }},
        {m_ui->Image3, m_ui->actionModify, [this] { modifyWord(); }},
        {m_ui->Image1, m_ui->actionReturn, [this] { returnToMain(); }},
    };
    for (const auto& c : commands) {
        auto guarded = [this, run = c.run] { m_context.guarded(run); };
        connect(c.button, &QAbstractButton::clicked, this, guarded);
        connect(c.action, &QAction::triggered, this, guarded);
    }
    recordbook::setUpKeyboard(*this);
    connect(m_ui->zw, &QLineEdit::returnPressed, this,
            [this] { m_context.guarded([this] { substringWordSearch(); }); });
    recordbook::focusKeyFor(*this, m_ui->zw);
    m_ui->actionClear->setShortcut(recordbook::kClearKey);
    recordbook::bindKeyToWidget(m_ui->actionDelete, recordbook::kDeleteKey, m_ui->List1);
}

void VocabularyWindow::load()
{
    reopen(QStringLiteral("select*  from foxcjdc"));
    listVoices();
}

void VocabularyWindow::reopen(const QString& sql)
{
    m_words->reopen(sql);
}

void VocabularyWindow::clearEnglishAndChinese()
{
    recordbook::setBoxText(m_ui->rtzw, QString());
    recordbook::setBoxText(m_ui->RTB, QString());
}

void VocabularyWindow::fillWordList()
{
    clearEnglishAndChinese();
    m_words->clearList();
    m_words->fillList();
}

void VocabularyWindow::substringWordSearch()
{
    m_words->searchSubstring(m_ui->zw->text());
    fillWordList();
}

void VocabularyWindow::anyCharWordSearch()
{
    clearEnglishAndChinese();
    m_words->clearList();
    m_words->searchAnyChar(m_ui->zw->text());
    m_words->fillList();
}

void VocabularyWindow::loadAllWords()
{
    m_ui->RTB->setFocus();
    m_words->reopenAll();
    m_words->clearList();
    m_words->fillList();
}

void VocabularyWindow::showWordKeywords()
{
    clearEnglishAndChinese();
    recordbook::setBoxText(m_ui->RTB, m_words->keywordOverview());
    m_words->clearList();
    m_words->reopenAll();
}

void VocabularyWindow::showWordPicture()
{
    m_ui->Text1->setText(QStringLiteral("12") + wordCursor().text(columns::kPicture));
    const QString picture = wordCursor().text(columns::kPicture);
    if (withoutTrailingBlanks(m_ui->Text1->text()).size() > 2 && QFileInfo(picture).isFile())
        showPicture(picture);
    else
        m_ui->Image5->clear();
}

void VocabularyWindow::setChineseShown(bool shown)
{
    m_ui->rtzw->setVisible(shown);
}

void VocabularyWindow::deleteWord()
{
    m_words->deleteSelected([this] {
        recordbook::setBoxText(m_ui->gjz, QString());
        fillWordList();
    });
}

void VocabularyWindow::returnToMain()
{
    m_words->closeCursor();
    close();
}

} // namespace vocabulary
