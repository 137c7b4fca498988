#include "reminders/ReminderWindow.h"

#include "core/DueList.h"
#include "core/DueLoad.h"
#include "lunar/LunarWords.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Icons.h"
#include "platform/ScreenFit.h"
#include "recordbook/Keyboard.h"
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
#include <QTimer>

namespace reminders {

ReminderWindow::ReminderWindow(shell::AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_ui(std::make_unique<Ui::ReminderWindow>())
{
    m_ui->setupUi(this);
    const Ui::ReminderWindow& u = *m_ui;
    m_editor = new AffairEditor(
        {u.List1,      u.gjz,       u.sjd,       u.qssj,       u.jssj,       u.lxr,
         u.lxdd,       u.jtzz,      u.sj,        u.dh,         u.mysj,       u.mzsj,
         u.mrsj,       u.mymrsj,    u.nlmnsj,    u.nlmysj,     u.affairBox,  u.DTPicker1,
         u.DTPicker2,  u.DTPicker3, u.DTPicker9, u.DTPicker10, u.DTPicker11, u.DTPicker12,
         u.DTPicker13, u.DTPicker14},
        m_context, this);
    m_search = new AffairSearch({u.searchBox, u.affairBox}, m_context, *m_editor, this);
    m_housekeeping = new Housekeeping(u.Text2, m_context, *m_editor, this);
    m_alarm = new AlarmClock({u.Combolz, u.Text1, u.Label19, u.Label20, u.Label21}, m_context,
                             m_mediaCursor, this);
    m_media = new MediaCommands(m_context, m_mediaCursor, this);
    m_printing = new ListPrinting(m_context, *m_editor, *m_search, *m_housekeeping, this);
    m_extensions = new Extensions(
        {u.menuExtensions, u.actionNotifyAtLogin, u.actionExportCalendar, u.actionImportCalendar},
        m_context, *m_editor, this);
    setUpIcons();
    connectCommands();
    setUpKeys();

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

    platform::fitToScreen(*this);
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
    const std::pair<QToolButton*, const char*> buttons[] = {
        {m_ui->Image1, "alarm-clock"},
        {m_ui->Image3, "music-note"},
        {m_ui->Image15, "relax"},
        {m_ui->wbcx, "document"},
        {m_ui->Image5, "search-text"},
        {m_ui->Image17, "search-any"},
        {m_ui->Image7, "due"},
        {m_ui->Image8, "list-all"},
        {m_ui->Image13, "keywords"},
        {m_ui->Image6, "print-list"},
        {m_ui->Image11, "print-calendar"},
        {m_ui->Image12, "print-star"},
        {m_ui->Image4, "broom"},
        {m_ui->Image9, "key"},
        {m_ui->Image10, "picture"},
        {m_ui->Image20, "autostart"},
        {m_ui->Image16, "book-documents"},
        {m_ui->Image18, "book-contacts"},
        {m_ui->dyld, "vocabulary"},
        {m_ui->Image19, "help"},
    };
    for (const auto& [button, name] : buttons)
        button->setIcon(platform::lumoIcon(name));
    // Items straight on the menu bar stay text: an icon there would replace the caption.
    const std::pair<QAction*, const char*> actions[] = {
        {m_ui->actionChangePassword, "key"},
        {m_ui->actionQuit, "exit"},
        {m_ui->actionAdd, "add"},
        {m_ui->actionModify, "edit"},
        {m_ui->actionDelete, "delete"},
        {m_ui->actionClear, "clear"},
        {m_ui->actionRefresh, "refresh"},
        {m_ui->actionDeleteAll, "delete-all"},
        {m_ui->actionSubstringSearch, "search-text"},
        {m_ui->actionAnyCharSearch, "search-any"},
        {m_ui->actionDueView, "due"},
        {m_ui->actionViewAll, "list-all"},
        {m_ui->actionShowKeywords, "keywords"},
        {m_ui->actionPrintSelected, "print-list"},
        {m_ui->actionPrintDue, "print-calendar"},
        {m_ui->actionPrintAll, "print-star"},
        {m_ui->actionAlarmFile, "music-note"},
        {m_ui->actionStartAlarm, "alarm-clock"},
        {m_ui->actionRelax, "relax"},
        {m_ui->actionExternal, "document"},
        {m_ui->actionChangePicture, "picture"},
        {m_ui->actionAutostart, "autostart"},
    };
    for (const auto& [action, name] : actions)
        action->setIcon(platform::lumoIcon(name));
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
        {m_ui->Image4, [this] { m_housekeeping->clearExpiredAffairs(); }},
        {m_ui->Image7, [this] { m_housekeeping->viewStoredDueList(); }},
        {m_ui->Image9, [this] { m_housekeeping->openWindow(QStringLiteral("yzmm")); }},
        {m_ui->Image10, [this] { m_housekeeping->changeBackgroundPicture(); }},
        {m_ui->Image16, [this] { m_housekeeping->openWindow(QStringLiteral("yycxlb")); }},
        {m_ui->Image18, [this] { m_housekeeping->openWindow(QStringLiteral("qqzxcx")); }},
        {m_ui->Image19, [this] { m_housekeeping->openHelp(); }},
        {m_ui->Image20, [this] { m_housekeeping->startWithSession(); }},
        {m_ui->dyld, [this] { m_housekeeping->openWindow(QStringLiteral("IQDW")); }},
    };
    for (const auto& b : buttons)
        connect(b.button, &QAbstractButton::clicked, this,
                [this, run = b.run] { m_context.guarded(run); });
    connectPictureItems();
}

void ReminderWindow::connectPictureItems()
{
    // These items only press their button, whoever runs its command.
    const Ui::ReminderWindow& u = *m_ui;
    const struct {
        QAction* action;
        QAbstractButton* button;
    } items[] = {
        {u.actionChangePassword, u.Image9}, {u.actionDueView, u.Image7},
        {u.actionPrintSelected, u.Image6},  {u.actionPrintDue, u.Image11},
        {u.actionPrintAll, u.Image12},      {u.actionVocabulary, u.dyld},
        {u.actionMiscBook, u.Image18},      {u.actionProgramBook, u.Image16},
        {u.actionAlarmFile, u.Image3},      {u.actionStartAlarm, u.Image1},
        {u.actionRelax, u.Image15},         {u.actionExternal, u.wbcx},
        {u.actionChangePicture, u.Image10}, {u.actionAutostart, u.Image20},
        {u.actionHelp, u.Image19},
    };
    for (const auto& item : items)
        connect(item.action, &QAction::triggered, item.button, &QAbstractButton::click);
}

void ReminderWindow::setUpKeys()
{
    recordbook::setUpKeyboard(*this);
    const Ui::ReminderWindow& u = *m_ui;
    QList<QWidget*> chain;
    for (QToolButton* button :
         u.centralwidget->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
        chain << button;
    chain << QList<QWidget*>{u.sjd,        u.DTPicker1,  u.qssj,       u.DTPicker2,  u.jssj,
                             u.DTPicker3,  u.lxr,        u.lxdd,       u.jtzz,       u.sj,
                             u.dh,         u.mysj,       u.DTPicker9,  u.mrsj,       u.DTPicker10,
                             u.mzsj,       u.DTPicker11, u.mymrsj,     u.DTPicker12, u.nlmnsj,
                             u.DTPicker13, u.nlmysj,     u.DTPicker14, u.affairBox,  u.searchBox,
                             u.gjz,        u.List1,      u.Text3,      u.Text5,      u.nlrq,
                             u.Combolz,    u.Text1,      u.Text2,      u.Command9,   u.Command10,
                             u.Command11,  u.Command4,   u.Command8,   u.Command5,   u.Command1,
                             u.Command2,   u.Command3,   u.Command7};
    recordbook::orderTabs(chain);

    connect(u.searchBox, &QLineEdit::returnPressed, this,
            [this] { m_context.guarded([this] { m_search->substringSearch(); }); });
    recordbook::focusKeyFor(*this, u.searchBox);
    u.actionClear->setShortcut(recordbook::kClearKey);
    u.actionRefresh->setShortcut(recordbook::kRefreshKey);
    recordbook::bindKeyToWidget(u.actionDelete, recordbook::kDeleteKey, u.List1);
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
