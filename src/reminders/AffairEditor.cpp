#include "reminders/AffairEditor.h"

#include "core/Columns.h"
#include "core/DueList.h"
#include "lunar/LunarSchedule.h"
#include "platform/Dialogs.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/RecordList.h"
#include "recordbook/TextBoxes.h"
#include "reminders/LunarChooser.h"
#include "shell/AppContext.h"
#include "store/DateText.h"
#include "store/Recordset.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
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

AffairEditor::AffairEditor(const EditorWidgets& form, shell::AppContext& context, QObject* parent)
    : QObject(parent), m_form(form), m_context(context),
      m_book(new recordbook::RecordBookController(recordbook::servicesOf(context), affairBook(),
                                                  context.affairCursor, form.List1, this))
{
    const QString dashed = QStringLiteral("yyyy-MM-dd");
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    connectPicker(m_form.DTPicker1, m_form.sjd, &store::shortDateText,
                  chinese.dateFormat(QLocale::LongFormat));
    fixWidthForFormat(m_form.DTPicker1, chinese.dateFormat(QLocale::LongFormat));
    connectPicker(m_form.DTPicker2, m_form.qssj, &store::shortDateText, dashed);
    connectPicker(m_form.DTPicker3, m_form.jssj, &store::shortDateText, dashed);
    connectPicker(m_form.DTPicker9, m_form.mysj, &monthText, dashed);
    connectPicker(m_form.DTPicker10, m_form.mrsj, &dayText, dashed);
    connectPicker(m_form.DTPicker11, m_form.mzsj, &weekdayNumberText, dashed);
    connectPicker(m_form.DTPicker12, m_form.mymrsj, &monthDayText, dashed);
    m_yearlyChooser =
        new LunarChooser(LunarChooser::Kind::Yearly, m_form.DTPicker13, m_form.nlmnsj);
    new LunarChooser(LunarChooser::Kind::Monthly, m_form.DTPicker14, m_form.nlmysj);
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
    book.fields.bind(m_form.gjz, kAffairKeyword)
        .bind(m_form.sjd, kTimePoint, Display::Date)
        .bind(m_form.qssj, kStart, Display::Date)
        .bind(m_form.jssj, kEnd, Display::Date)
        .bind(m_form.lxr, kContact)
        .bind(m_form.lxdd, kPlace)
        .bind(m_form.jtzz, kAddress)
        .bind(m_form.sj, kMobile)
        .bind(m_form.dh, kPhone)
        .bind(m_form.mysj, kMonth, Display::Text, Empty::EmptyText)
        .bind(m_form.mzsj, kWeekday, Display::Text, Empty::Hundred)
        .bind(m_form.mrsj, kDay, Display::Text, Empty::EmptyText)
        .bind(m_form.mymrsj, kMonthDay, Display::Text, Empty::EmptyText)
        .bind(m_form.nlmnsj, kLunarYearly, Display::Text, Empty::EmptyText)
        .bind(m_form.nlmysj, kLunarMonthly, Display::Text, Empty::EmptyText)
        .show(m_form.affairBox, kAffair)
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
    for (QDateEdit* picker :
         {m_form.DTPicker1, m_form.DTPicker2, m_form.DTPicker3, m_form.DTPicker9, m_form.DTPicker10,
          m_form.DTPicker11, m_form.DTPicker12}) {
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
    return m_form.affairBox->rawText();
}

void AffairEditor::setRawAffairText(const QString& text)
{
    m_form.affairBox->setRawText(text);
}

core::AffairBoxes AffairEditor::boxes() const
{
    core::AffairBoxes b;
    b.affair = rawAffairText();
    b.sjd = m_form.sjd->text();
    b.qssj = m_form.qssj->text();
    b.jssj = m_form.jssj->text();
    b.lxr = m_form.lxr->text();
    b.lxdd = m_form.lxdd->text();
    b.jtzz = m_form.jtzz->text();
    b.sj = m_form.sj->text();
    b.dh = m_form.dh->text();
    b.mysj = m_form.mysj->text();
    b.mzsj = m_form.mzsj->text();
    b.mrsj = m_form.mrsj->text();
    b.mymrsj = m_form.mymrsj->text();
    b.nlmnsj = m_form.nlmnsj->text();
    b.nlmysj = m_form.nlmysj->text();
    return b;
}

void AffairEditor::emptyScheduleAndContactBoxes()
{
    for (QLineEdit* box : {m_form.sjd, m_form.qssj, m_form.jssj, m_form.lxr, m_form.lxdd,
                           m_form.jtzz, m_form.sj, m_form.dh, m_form.mysj, m_form.mzsj, m_form.mrsj,
                           m_form.mymrsj, m_form.nlmnsj, m_form.nlmysj})
        box->clear();
}

void AffairEditor::fillBoxesButKeyword()
{
    m_book->fields().fillBoxes(affairCursor(), m_form.gjz);
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
    } dates[] = {{m_form.sjd, columns::kTimePoint},
                 {m_form.qssj, columns::kStart},
                 {m_form.jssj, columns::kEnd}};
    for (const auto& date : dates) {
        const QString text = date.box->text();
        if (text.isEmpty() || store::parseDateText(text)) continue;
        return refuse(
            date.box,
            QStringLiteral(
                "“%1”框中的“%2”不是日期，请输入形如 2004-5-16 的日期，或用右边的日期选择框选择。")
                .arg(date.name, text));
    }
    const QString yearly = m_form.nlmnsj->text();
    if (!yearly.isEmpty() && !lunar::readYearly(yearly))
        return refuse(m_form.nlmnsj,
                      QStringLiteral("“%1”框中的“%2”不是农历日期，请输入形如 8-8 "
                                     "或 闰6-1 的农历月日，或用右边的农历选择框选择。")
                          .arg(columns::kLunarYearly, yearly));
    const QString monthly = m_form.nlmysj->text();
    if (!monthly.isEmpty() && !lunar::readMonthly(monthly))
        return refuse(m_form.nlmysj, QStringLiteral("“%1”框中的“%2”不是农历日，请输入 1 到 30 "
                                                    "之间的数，或用右边的农历选择框选择。")
                                         .arg(columns::kLunarMonthly, monthly));
    return false;
}

bool AffairEditor::refusedForSize()
{
    if (rawAffairText().toUtf8().size() <= kAffairTextLimit) return false;
    m_context.services().dialogs->message(kAffairTooLongText, kWarning, platform::Buttons::Ok,
                                          platform::Icon::Warning);
    m_form.affairBox->setFocus();
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
    emit added();
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
        for (QLineEdit* box :
             {m_form.sjd, m_form.qssj, m_form.jssj, m_form.lxr, m_form.lxdd, m_form.jtzz, m_form.sj,
              m_form.dh, m_form.mysj, m_form.mzsj, m_form.mrsj})
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
