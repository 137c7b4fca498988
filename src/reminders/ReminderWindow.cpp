#include "reminders/ReminderWindow.h"

#include "core/DueList.h"
#include "core/DueLoad.h"
#include "lunar/LunarWords.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "recordbook/TextBoxes.h"
#include "reminders/AffairEditor.h"
#include "reminders/AffairSearch.h"
#include "reminders/AlarmClock.h"
#include "reminders/Extensions.h"
#include "reminders/Housekeeping.h"
#include "reminders/ListPrinting.h"
#include "reminders/MediaCommands.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "store/StoreError.h"
#include "ui_rmd.h"

#include <QCloseEvent>
#include <QStyle>
#include <QTimer>

namespace reminders {

ReminderWindow::ReminderWindow(shell::AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_ui(std::make_unique<Ui::ReminderWindow>())
{
    m_ui->setupUi(this);
    m_editor = new AffairEditor(*m_ui, m_context, this);
    m_search = new AffairSearch(*m_ui, m_context, *m_editor, this);
    m_housekeeping = new Housekeeping(*m_ui, m_context, *m_editor, this);
    m_alarm = new AlarmClock(*m_ui, m_context, m_mediaCursor, this);
    m_media = new MediaCommands(m_context, m_mediaCursor, this);
    m_printing = new ListPrinting(
        m_context,
        {[this] { m_editor->refresh(); }, [this] { m_housekeeping->viewStoredDueList(); },
         [this] { m_search->viewAllAffairs(); }, [this] { return m_editor->selectedLine() >= 0; },
         [this] { return rawAffairText(); }},
        this);
    m_extensions = new Extensions(*m_ui, m_context, this);
    setUpIcons();
    connectCommands();

    auto* tips = new recordbook::ToolTipFollower(this);
    tips->follow(m_ui->jtzz);
    tips->follow(m_ui->lxdd);
    tips->follow(m_ui->lxr);
    connect(m_ui->affairBox, &recordbook::RawTextEdit::dragStarting, this, [this] {
        m_ui->searchBox->clear();
        m_ui->gjz->clear();
    });

    m_clockTimer = new QTimer(this);
    m_clockTimer->setObjectName(QStringLiteral("Timer1"));
    m_clockTimer->setInterval(1000);
    connect(m_clockTimer, &QTimer::timeout, this, &ReminderWindow::updateClock);
    m_clockTimer->start();

    m_context.guarded([this] { load(); }, shell::AppContext::OnRefusal::End);
}

ReminderWindow::~ReminderWindow() = default;

QString ReminderWindow::rawAffairText() const
{
    return m_editor->rawAffairText();
}

void ReminderWindow::setRawAffairText(const QString& text)
{
    m_editor->setRawAffairText(text);
}

void ReminderWindow::setUpIcons()
{
    const struct {
        QToolButton* button;
        const char* theme;
        QStyle::StandardPixmap fallback;
    } icons[] = {
        {m_ui->Image1, "alarm-symbolic", QStyle::SP_MediaPlay},
        {m_ui->Image3, "audio-x-generic", QStyle::SP_MediaVolume},
        {m_ui->Image15, "media-playback-start", QStyle::SP_MediaSeekForward},
        {m_ui->wbcx, "document-open", QStyle::SP_DialogOpenButton},
        {m_ui->Image5, "edit-find", QStyle::SP_FileDialogContentsView},
        {m_ui->Image17, "system-search", QStyle::SP_FileDialogDetailedView},
        {m_ui->Image7, "appointment-soon", QStyle::SP_MessageBoxInformation},
        {m_ui->Image8, "view-list-text", QStyle::SP_FileDialogListView},
        {m_ui->Image13, "bookmarks", QStyle::SP_FileDialogInfoView},
        {m_ui->Image6, "document-print", QStyle::SP_FileIcon},
        {m_ui->Image11, "document-print-preview", QStyle::SP_FileLinkIcon},
        {m_ui->Image12, "printer", QStyle::SP_DriveHDIcon},
        {m_ui->Image4, "edit-clear", QStyle::SP_TrashIcon},
        {m_ui->Image9, "dialog-password", QStyle::SP_DialogApplyButton},
        {m_ui->Image10, "preferences-desktop-wallpaper", QStyle::SP_DesktopIcon},
        {m_ui->Image20, "system-run", QStyle::SP_ComputerIcon},
        {m_ui->Image16, "folder-documents", QStyle::SP_DirIcon},
        {m_ui->Image18, "address-book-new", QStyle::SP_DirHomeIcon},
        {m_ui->dyld, "accessories-dictionary", QStyle::SP_DialogHelpButton},
        {m_ui->Image19, "help-browser", QStyle::SP_TitleBarContextHelpButton},
    };
    for (const auto& icon : icons)
        icon.button->setIcon(QIcon::fromTheme(QString::fromLatin1(icon.theme),
                                              style()->standardIcon(icon.fallback)));
}

void ReminderWindow::connectCommands()
{
    // A button and its menu item run the same command; neither does more.
    const struct {
        QAbstractButton* button;
        QAction* action;
        std::function<void()> run;
    } commands[] = {
        {m_ui->Command1, m_ui->actionAdd, [this] { m_editor->add(); }},
        {m_ui->Command5, m_ui->actionModify, [this] { m_editor->modify(); }},
        {m_ui->Command2, m_ui->actionDelete, [this] { m_editor->remove(); }},
        {m_ui->Command3, m_ui->actionClear, [this] { m_editor->clear(); }},
        {m_ui->Command8, m_ui->actionRefresh, [this] { m_editor->refresh(); }},
        {m_ui->Command4, m_ui->actionDeleteAll, [this] { m_editor->removeAll(); }},
        {m_ui->Command7, m_ui->actionQuit, [this] { m_editor->quit(); }},
        {m_ui->Image5, m_ui->actionSubstringSearch, [this] { m_search->substringSearch(); }},
        {m_ui->Image17, m_ui->actionAnyCharSearch, [this] { m_search->anyCharSearch(); }},
        {m_ui->Image8, m_ui->actionViewAll, [this] { m_search->viewAllAffairs(); }},
        {m_ui->Image13, m_ui->actionShowKeywords, [this] { m_search->showKeywords(); }},
    };
    for (const auto& c : commands) {
        auto guarded = [this, run = c.run] { m_context.guarded(run); };
        connect(c.button, &QAbstractButton::clicked, this, guarded);
        connect(c.action, &QAction::triggered, this, guarded);
    }
    // Their menu items press these buttons.
    const struct {
        QAbstractButton* button;
        std::function<void()> run;
    } buttons[] = {
        {m_ui->Image1, [this] { m_alarm->start(); }},
        {m_ui->Image3, [this] { m_media->chooseAlarmFile(); }},
        {m_ui->Image15, [this] { m_media->relax(); }},
        {m_ui->wbcx, [this] { m_media->openExternal(); }},
        {m_ui->Image6, [this] { m_printing->printSelected(); }},
        {m_ui->Image11, [this] { m_printing->printDueList(); }},
        {m_ui->Image12, [this] { m_printing->printAll(); }},
        {m_ui->Command9, [this] { m_printing->recreateTextFile(kSelectedList); }},
        {m_ui->Command10, [this] { m_printing->recreateTextFile(kDueList); }},
        {m_ui->Command11, [this] { m_printing->recreateTextFile(kAllList); }},
    };
    for (const auto& b : buttons)
        connect(b.button, &QAbstractButton::clicked, this,
                [this, run = b.run] { m_context.guarded(run); });
}

void ReminderWindow::load()
{
    const platform::Clock& clock = *m_context.services().clock;
    const QDate today = clock.today();

    m_editor->setPickers(today);
    updateClock();
    const QStringList minutes{"30", "60", "90", "120", "150", "180", "210", "240"};
    m_ui->Combolz->addItems(minutes);
    m_ui->Combolz->setCurrentText(QStringLiteral("30"));
    m_mediaCursor = std::make_unique<store::Recordset>(QStringLiteral("select * from bjyy"),
                                                       m_context.dbConnection());
    m_context.sharedCursor = std::make_unique<store::Recordset>(QStringLiteral("select*  from ma"),
                                                                m_context.dbConnection());
    m_editor->reopenAffairCursor(QStringLiteral("select*  from mp"));
    m_ui->Text3->setText(QStringLiteral("今天是:") + today.toString(QStringLiteral("yyyy-MM-dd")));
    m_ui->Text5->clear();
    m_ui->Text5->setText(core::weekdayText(today));
    m_ui->nlrq->setText(lunar::todayText(today));
    m_editor->setRawAffairText(QString());

    const core::DueOutcome outcome = core::runDueEvaluation(*m_context.affairCursor, today);
    if (!outcome.evaluated) return;
    m_editor->setRawAffairText(outcome.list);
    store::Connection& db = m_context.dbConnection();
    try {
        core::storeDueOutcome(outcome, *m_context.sharedCursor, *m_context.affairCursor);
        db.commitSoFar();
    } catch (const store::StoreError& e) {
        if (e.fault() == store::Fault::Fatal) throw;
        // The list is shown all the same; keeping it can wait for the next start.
        db.rollbackSoFar();
        m_context.services().dialogs->message(
            kDueListNotStoredText + store::faultText(e.fault(), m_context.databasePath()),
            shell::kBookFaultTitle, platform::Buttons::Ok, platform::Icon::Warning);
    }
    m_editor->refreshAffairList();
}

void ReminderWindow::updateClock()
{
    m_ui->Label9->setText(
        m_context.services().clock->now().time().toString(QStringLiteral("HH:mm:ss")));
}

void ReminderWindow::closeEvent(QCloseEvent* event)
{
    if (m_context.closeToTray) {
        event->ignore();
        m_context.closeToTray();
        return;
    }
    event->accept();
    m_context.exitApplication(0);
}

} // namespace reminders
