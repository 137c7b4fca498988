#include "reminders/AffairEditor.h"

#include "core/Columns.h"
#include "core/DueList.h"
#include "lunar/LunarSchedule.h"
#include "platform/Dialogs.h"
#include "recordbook/RecordBookController.h"
#include "reminders/LunarChooser.h"
#include "shell/AppContext.h"
#include "store/DateText.h"
#include "store/Recordset.h"
#include "ui_rmd.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLocale>
#include <QSignalBlocker>

namespace reminders {

namespace {

using recordbook::FieldBinding;
using Display = recordbook::FieldBinding::Display;
using Empty = recordbook::FieldBinding::Empty;

const QString kWarning = QStringLiteral("警告");

QString monthText(const QDate& d)
{
    return QString::number(d.month());
}
QString dayText(const QDate& d)
{
    return QString::number(d.day());
}
QString weekdayNumberText(const QDate& d)
{
    return QString::number(core::weekdayNumber(d));
}
QString monthDayText(const QDate& d)
{
    return QStringLiteral("%1-%2").arg(d.month()).arg(d.day());
}

} // namespace

AffairEditor::AffairEditor(Ui::ReminderWindow& ui, shell::AppContext& context, QObject* parent)
    : QObject(parent), m_ui(ui), m_context(context),
      m_book(new recordbook::RecordBookController(recordbook::servicesOf(context), affairBook(),
                                                  context.affairCursor, ui.List1, this))
{
    const QString dashed = QStringLiteral("yyyy-MM-dd");
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    connectPicker(m_ui.DTPicker1, m_ui.sjd, &store::shortDateText,
                  chinese.dateFormat(QLocale::LongFormat));
    fixWidthForFormat(m_ui.DTPicker1, chinese.dateFormat(QLocale::LongFormat));
    connectPicker(m_ui.DTPicker2, m_ui.qssj, &store::shortDateText, dashed);
    connectPicker(m_ui.DTPicker3, m_ui.jssj, &store::shortDateText, dashed);
    connectPicker(m_ui.DTPicker9, m_ui.mysj, &monthText, dashed);
    connectPicker(m_ui.DTPicker10, m_ui.mrsj, &dayText, dashed);
    connectPicker(m_ui.DTPicker11, m_ui.mzsj, &weekdayNumberText, dashed);
    connectPicker(m_ui.DTPicker12, m_ui.mymrsj, &monthDayText, dashed);
    m_yearlyChooser = new LunarChooser(LunarChooser::Kind::Yearly, m_ui.DTPicker13, m_ui.nlmnsj);
    new LunarChooser(LunarChooser::Kind::Monthly, m_ui.DTPicker14, m_ui.nlmysj);
}

recordbook::BookDescriptor AffairEditor::affairBook()
{
    using namespace columns;
    recordbook::BookDescriptor book;
    book.table = QStringLiteral("mp");
    book.listColumn = book.searchColumn = kAffair;
    book.keywordColumn = kAffairKeyword;
    book.allRows = QStringLiteral("select * from mp");
    book.searchHead = QStringLiteral("select  * from mp where ");
    // gjz first, as it is written first; the double-click fills every box but it.
    book.fields.bind(m_ui.gjz, kAffairKeyword)
        .bind(m_ui.sjd, kTimePoint, Display::Date)
        .bind(m_ui.qssj, kStart, Display::Date)
        .bind(m_ui.jssj, kEnd, Display::Date)
        .bind(m_ui.lxr, kContact)
        .bind(m_ui.lxdd, kPlace)
        .bind(m_ui.jtzz, kAddress)
        .bind(m_ui.sj, kMobile)
        .bind(m_ui.dh, kPhone)
        .bind(m_ui.mysj, kMonth, Display::Text, Empty::EmptyText)
        .bind(m_ui.mzsj, kWeekday, Display::Text, Empty::Hundred)
        .bind(m_ui.mrsj, kDay, Display::Text, Empty::EmptyText)
        .bind(m_ui.mymrsj, kMonthDay, Display::Text, Empty::EmptyText)
        .bind(m_ui.nlmnsj, kLunarYearly, Display::Text, Empty::EmptyText)
        .bind(m_ui.nlmysj, kLunarMonthly, Display::Text, Empty::EmptyText)
        .show(m_ui.affairBox, kAffair)
        .compute(kAffair, [this](recordbook::Mode mode) -> std::optional<QVariant> {
            core::AffairBoxes b = boxes();
            // The cursor stands on the record being modified.
            if (mode == recordbook::Mode::Modify)
                b.affair = core::affairWithoutStoredFrame(b.affair, affairCursor().text(kAffair));
            return QVariant(core::composeStoredAffair(b));
        });
    book.add.refused =
        book.modify.refused = [this] { return refusedForBadDate() || refusedForSize(); };
    book.add.written = [this](int) { showAdded(); };
    book.modify.written = [this](int line) {
        refreshAffairList();
        selectLine(line);
    };
    // A click in an empty book gives it an empty affair, as it always has.
    book.load.before = [this](int) { ensureOneRecord(); };
    return book;
}

void AffairEditor::connectPicker(QDateEdit* picker, QLineEdit* box, QString (*text)(const QDate&),
                                 const QString& format)
{
    picker->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    // A local midnight does not exist on some summer-time days.
    picker->setTimeSpec(Qt::UTC);
    const auto pick = [picker, box, text, format](const QDate& date) {
        {
            const QSignalBlocker blocker(picker);
            picker->setDisplayFormat(format);
        }
        box->setText(text(date));
    };
    // Only a user's change arrives here: code sets pickers with signals blocked.
    connect(picker, &QDateEdit::dateChanged, this, pick);
    // A date picked in the calendar is written even when it is the date the
    // picker already shows (today, at start), which dateChanged never reports.
    if (QCalendarWidget* calendar = picker->calendarWidget()) {
        connect(calendar, &QCalendarWidget::clicked, this, pick);
        connect(calendar, &QCalendarWidget::activated, this, pick);
    }
}

// Wide enough for the long form it shows after a pick, so the column never shifts.
void AffairEditor::fixWidthForFormat(QDateEdit* picker, const QString& format)
{
    const QSignalBlocker blocker(picker);
    const QString shown = picker->displayFormat();
    picker->setDisplayFormat(format);
    picker->setFixedWidth(picker->sizeHint().width());
    picker->setDisplayFormat(shown);
}

void AffairEditor::setPickers(const QDate& date)
{
    for (QDateEdit* picker : {m_ui.DTPicker1, m_ui.DTPicker2, m_ui.DTPicker3, m_ui.DTPicker9,
                              m_ui.DTPicker10, m_ui.DTPicker11, m_ui.DTPicker12}) {
        const QSignalBlocker blocker(picker);
        picker->setDate(date);
    }
    if (const std::optional<lunar::LunarDate> day = lunar::toLunar(date))
        m_yearlyChooser->setYear(day->year);
}

store::Recordset& AffairEditor::affairCursor() const
{
    return m_book->cursor();
}

void AffairEditor::reopenAffairCursor(const QString& sql)
{
    m_book->reopen(sql);
}

QString AffairEditor::rawAffairText() const
{
    return m_ui.affairBox->rawText();
}

void AffairEditor::setRawAffairText(const QString& text)
{
    m_ui.affairBox->setRawText(text);
}

core::AffairBoxes AffairEditor::boxes() const
{
    core::AffairBoxes b;
    b.affair = rawAffairText();
    b.sjd = m_ui.sjd->text();
    b.qssj = m_ui.qssj->text();
    b.jssj = m_ui.jssj->text();
    b.lxr = m_ui.lxr->text();
    b.lxdd = m_ui.lxdd->text();
    b.jtzz = m_ui.jtzz->text();
    b.sj = m_ui.sj->text();
    b.dh = m_ui.dh->text();
    b.mysj = m_ui.mysj->text();
    b.mzsj = m_ui.mzsj->text();
    b.mrsj = m_ui.mrsj->text();
    b.mymrsj = m_ui.mymrsj->text();
    b.nlmnsj = m_ui.nlmnsj->text();
    b.nlmysj = m_ui.nlmysj->text();
    return b;
}

void AffairEditor::emptyScheduleAndContactBoxes()
{
    for (QLineEdit* box :
         {m_ui.sjd, m_ui.qssj, m_ui.jssj, m_ui.lxr, m_ui.lxdd, m_ui.jtzz, m_ui.sj, m_ui.dh,
          m_ui.mysj, m_ui.mzsj, m_ui.mrsj, m_ui.mymrsj, m_ui.nlmnsj, m_ui.nlmysj})
        box->clear();
}

void AffairEditor::fillBoxesButKeyword()
{
    m_book->fields().fillBoxes(affairCursor(), m_ui.gjz);
}

void AffairEditor::refreshAffairList()
{
    emptyScheduleAndContactBoxes();
    m_book->fillList();
}

int AffairEditor::selectedLine() const
{
    return m_book->selectedLine();
}

void AffairEditor::selectLine(int line)
{
    m_book->selectLine(line);
}

void AffairEditor::ensureOneRecord()
{
    store::Recordset& c = affairCursor();
    if (c.recordCount() == 0) {
        c.addNew();
        c.update();
    }
}

bool AffairEditor::refusedForBadDate()
{
    const auto refuse = [this](QLineEdit* box, const QString& message) {
        m_context.services().dialogs->message(message, kWarning, platform::Buttons::Ok,
                                              platform::Icon::Warning);
        box->setFocus();
        return true;
    };
    const struct {
        QLineEdit* box;
        QString name;
    } dates[] = {
        {m_ui.sjd, columns::kTimePoint}, {m_ui.qssj, columns::kStart}, {m_ui.jssj, columns::kEnd}};
    for (const auto& date : dates) {
        const QString text = date.box->text();
        if (text.isEmpty() || store::parseDateText(text)) continue;
        return refuse(
            date.box,
            QStringLiteral(
                "“%1”框中的“%2”不是日期，请输入形如 2004-5-16 的日期，或用右边的日期选择框选择。")
                .arg(date.name, text));
    }
    const QString yearly = m_ui.nlmnsj->text();
    if (!yearly.isEmpty() && !lunar::readYearly(yearly))
        return refuse(m_ui.nlmnsj, QStringLiteral("“%1”框中的“%2”不是农历日期，请输入形如 8-8 "
                                                  "或 闰6-1 的农历月日，或用右边的农历选择框选择。")
                                       .arg(columns::kLunarYearly, yearly));
    const QString monthly = m_ui.nlmysj->text();
    if (!monthly.isEmpty() && !lunar::readMonthly(monthly))
        return refuse(m_ui.nlmysj, QStringLiteral("“%1”框中的“%2”不是农历日，请输入 1 到 30 "
                                                  "之间的数，或用右边的农历选择框选择。")
                                       .arg(columns::kLunarMonthly, monthly));
    return false;
}

bool AffairEditor::refusedForSize()
{
    if (rawAffairText().toUtf8().size() <= kAffairTextLimit) return false;
    m_context.services().dialogs->message(kAffairTooLongText, kWarning, platform::Buttons::Ok,
                                          platform::Icon::Warning);
    m_ui.affairBox->setFocus();
    return true;
}

void AffairEditor::add()
{
    m_book->addRecord();
}

void AffairEditor::showAdded()
{
    refreshAffairList();
    selectLine(m_book->lineCount() - 1);
    reopenAffairCursor(QStringLiteral("select*  from mp"));
    refresh();
    m_ui.searchBox->clear();
    selectLine(m_book->lineCount() - 1);
}

void AffairEditor::modify()
{
    m_book->modifySelected();
}

void AffairEditor::remove()
{
    m_book->deleteSelected([this] {
        m_context.dbConnection().commitSoFar();
        // 每月每日时间 keeps its text, as it always has.
        for (QLineEdit* box : {m_ui.sjd, m_ui.qssj, m_ui.jssj, m_ui.lxr, m_ui.lxdd, m_ui.jtzz,
                               m_ui.sj, m_ui.dh, m_ui.mysj, m_ui.mzsj, m_ui.mrsj})
            box->clear();
        setRawAffairText(QString());
        refreshAffairList();
    });
}

void AffairEditor::removeAll()
{
    if (m_context.services().dialogs->message(QStringLiteral("全部删除吗?"), kWarning,
                                              platform::Buttons::YesNoDefaultNo,
                                              platform::Icon::Question) != platform::Answer::Yes)
        return;
    m_context.backupBeforeDeleting(QStringLiteral("delete-all"));
    m_context.dbConnection().execute(QStringLiteral("delete * from mp"));
    m_book->clearList();
    // The old snapshot still holds the deleted rows; no later command may act on them.
    reopenAffairCursor(QStringLiteral("select * from mp"));
}

void AffairEditor::clear()
{
    m_book->clearBoxes();
}

void AffairEditor::refresh()
{
    reopenAffairCursor(QStringLiteral("select * from mp"));
    setRawAffairText(QString());
    refreshAffairList();
}

void AffairEditor::quit()
{
    m_context.exitApplication(0);
}

} // namespace reminders
