#include "reminders/AffairEditor.h"

#include "platform/Dialogs.h"
#include "reminders/AffairListModel.h"
#include "reminders/DueList.h"
#include "shell/AppContext.h"
#include "store/DateText.h"
#include "store/Recordset.h"
#include "ui_rmd.h"

#include <QLocale>
#include <QSignalBlocker>

namespace reminders {

namespace {

const QString kAffair = QStringLiteral("要事");
const QString kKeyword = QStringLiteral("要事关键字");
const QString kTimePoint = QStringLiteral("时间点");
const QString kStart = QStringLiteral("起始时间");
const QString kEnd = QStringLiteral("结束时间");
const QString kContact = QStringLiteral("联系人");
const QString kPlace = QStringLiteral("联系地点");
const QString kAddress = QStringLiteral("家庭住址");
const QString kMobile = QStringLiteral("联系人手机");
const QString kPhone = QStringLiteral("联系人电话");
const QString kMonth = QStringLiteral("每月时间");
const QString kWeekday = QStringLiteral("每周时间");
const QString kDay = QStringLiteral("每日时间");
const QString kMonthDay = QStringLiteral("每月每日时间");

const QString kWarning = QStringLiteral("警告");

// A date column as a box shows it: yyyy-MM-dd, empty for null.
QString dateBoxText(const QVariant& value)
{
    if (value.isNull()) return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd"));
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString text = value.toString();
    if (const auto parsed = store::parseDateText(text))
        return parsed->toString(QStringLiteral("yyyy-MM-dd"));
    return text;
}

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
    return QString::number(weekdayNumber(d));
}
QString monthDayText(const QDate& d)
{
    return QStringLiteral("%1-%2").arg(d.month()).arg(d.day());
}

// Add leaves a column of an empty box untouched; Modify stores null.
QString weekdayOrNone(const QString& text)
{
    return text.isEmpty() ? kNoWeekday : text;
}

enum class EmptyBox { LeaveUnset, StoreNull };

// The boxes into the current row. The recurring columns always take text
// ("100" for no weekday); an empty box leaves a new row's column unset and
// clears a changed row's.
void collectBoxes(store::Recordset& c, const AffairBoxes& b, const QString& keyword,
                  EmptyBox empty)
{
    const auto put = [&](const QString& column, const QString& text) {
        if (!text.isEmpty())
            c.collect(column, text);
        else if (empty == EmptyBox::StoreNull)
            c.collect(column, QVariant());
    };
    put(kKeyword, keyword);
    put(kTimePoint, b.sjd);
    put(kStart, b.qssj);
    put(kEnd, b.jssj);
    put(kContact, b.lxr);
    put(kPlace, b.lxdd);
    put(kAddress, b.jtzz);
    put(kMobile, b.sj);
    put(kPhone, b.dh);
    c.collect(kMonth, b.mysj);
    c.collect(kWeekday, weekdayOrNone(b.mzsj));
    c.collect(kDay, b.mrsj);
    c.collect(kMonthDay, b.mymrsj);
    c.collect(kAffair, composeStoredAffair(b));
}

} // namespace

AffairEditor::AffairEditor(Ui::ReminderWindow& ui, shell::AppContext& context, QObject* parent)
    : QObject(parent), m_ui(ui), m_context(context),
      m_model(new AffairListModel(context.affairCursor, this))
{
    m_ui.List1->setModel(m_model);
    connect(m_ui.List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_selectingFromCode) return;
        const int line = selectedLine();
        if (line >= 0) m_context.guarded([this, line] { loadSelectedAffair(line); });
    });

    const QString dashed = QStringLiteral("yyyy-MM-dd");
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    connectPicker(m_ui.DTPicker1, m_ui.sjd, &store::shortDateText,
                  chinese.dateFormat(QLocale::LongFormat));
    connectPicker(m_ui.DTPicker2, m_ui.qssj, &store::shortDateText, dashed);
    connectPicker(m_ui.DTPicker3, m_ui.jssj, &store::shortDateText, dashed);
    connectPicker(m_ui.DTPicker9, m_ui.mysj, &monthText, dashed);
    connectPicker(m_ui.DTPicker10, m_ui.mrsj, &dayText, dashed);
    connectPicker(m_ui.DTPicker11, m_ui.mzsj, &weekdayNumberText, dashed);
    connectPicker(m_ui.DTPicker12, m_ui.mymrsj, &monthDayText, dashed);
}

void AffairEditor::connectPicker(QDateEdit* picker, QLineEdit* box, QString (*text)(const QDate&),
                                 const QString& format)
{
    picker->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    // Only a user's change arrives here: code sets pickers with signals blocked.
    connect(picker, &QDateEdit::dateChanged, this, [picker, box, text, format](const QDate& date) {
        {
            const QSignalBlocker blocker(picker);
            picker->setDisplayFormat(format);
        }
        box->setText(text(date));
    });
}

void AffairEditor::setPickers(const QDate& date)
{
    for (QDateEdit* picker : {m_ui.DTPicker1, m_ui.DTPicker2, m_ui.DTPicker3, m_ui.DTPicker9,
                              m_ui.DTPicker10, m_ui.DTPicker11, m_ui.DTPicker12}) {
        const QSignalBlocker blocker(picker);
        picker->setDate(date);
    }
}

store::Recordset& AffairEditor::affairCursor() const
{
    return *m_context.affairCursor;
}

void AffairEditor::reopenAffairCursor(const QString& sql)
{
    // The old snapshot goes first, so two full copies of the book never
    // live side by side.
    m_context.affairCursor.reset();
    m_context.affairCursor = std::make_unique<store::Recordset>(sql, m_context.dbConnection());
}

QString AffairEditor::rawAffairText() const
{
    return m_ui.affairBox->rawText();
}

void AffairEditor::setRawAffairText(const QString& text)
{
    m_ui.affairBox->setRawText(text);
}

AffairBoxes AffairEditor::boxes() const
{
    AffairBoxes b;
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
    return b;
}

void AffairEditor::emptyScheduleAndContactBoxes()
{
    for (QLineEdit* box : {m_ui.sjd, m_ui.qssj, m_ui.jssj, m_ui.lxr, m_ui.lxdd, m_ui.jtzz, m_ui.sj,
                           m_ui.dh, m_ui.mysj, m_ui.mzsj, m_ui.mrsj, m_ui.mymrsj})
        box->clear();
}

void AffairEditor::fillBoxesFromCurrent(bool withKeyword)
{
    const store::Recordset& c = affairCursor();
    m_ui.sjd->setText(dateBoxText(c.field(kTimePoint)));
    m_ui.jssj->setText(dateBoxText(c.field(kEnd)));
    m_ui.qssj->setText(dateBoxText(c.field(kStart)));
    m_ui.lxr->setText(c.text(kContact));
    m_ui.lxdd->setText(c.text(kPlace));
    m_ui.jtzz->setText(c.text(kAddress));
    m_ui.sj->setText(c.text(kMobile));
    m_ui.dh->setText(c.text(kPhone));
    setRawAffairText(c.text(kAffair));
    m_ui.mysj->setText(c.text(kMonth));
    m_ui.mzsj->setText(c.text(kWeekday));
    m_ui.mrsj->setText(c.text(kDay));
    m_ui.mymrsj->setText(c.text(kMonthDay));
    if (withKeyword) m_ui.gjz->setText(c.text(kKeyword));
}

void AffairEditor::refreshAffairList()
{
    emptyScheduleAndContactBoxes();
    m_model->clear();
    store::Recordset& c = affairCursor();
    if (c.recordCount() >= 1) {
        m_model->fill();
        c.moveFirst();
    }
}

int AffairEditor::selectedLine() const
{
    const QModelIndexList selected = m_ui.List1->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void AffairEditor::selectLine(int line)
{
    if (line < 0 || line >= m_model->rowCount()) return;
    const QModelIndex index = m_model->index(line);
    m_selectingFromCode = true;
    m_ui.List1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_selectingFromCode = false;
    m_ui.List1->scrollTo(index);
    loadSelectedAffair(line);
}

void AffairEditor::loadSelectedAffair(int line)
{
    store::Recordset& c = affairCursor();
    if (c.recordCount() == 0) {
        c.addNew();
        c.update();
    }
    if (line < 0 || line + 1 > c.recordCount()) {
        c.moveFirst();
        return;
    }
    c.setAbsolutePosition(line + 1);
    clear();
    fillBoxesFromCurrent(true);
}

bool AffairEditor::refusedForBadDate()
{
    const struct {
        QLineEdit* box;
        QString name;
    } dates[] = {{m_ui.sjd, kTimePoint}, {m_ui.qssj, kStart}, {m_ui.jssj, kEnd}};
    for (const auto& date : dates) {
        const QString text = date.box->text();
        if (text.isEmpty() || store::parseDateText(text)) continue;
        m_context.services().dialogs->message(
            QStringLiteral(
                "“%1”框中的“%2”不是日期，请输入形如 2004-5-16 的日期，或用右边的日期选择框选择。")
                .arg(date.name, text),
            kWarning, platform::Buttons::Ok, platform::Icon::Warning);
        date.box->setFocus();
        return true;
    }
    return false;
}

void AffairEditor::add()
{
    if (refusedForBadDate()) return;
    const AffairBoxes b = boxes();
    store::Recordset& c = affairCursor();
    c.addNew();
    collectBoxes(c, b, m_ui.gjz->text(), EmptyBox::LeaveUnset);
    c.update();

    refreshAffairList();
    selectLine(m_model->rowCount() - 1);
    reopenAffairCursor(QStringLiteral("select*  from mp"));
    refresh();
    m_ui.searchBox->clear();
    selectLine(m_model->rowCount() - 1);
}

void AffairEditor::modify()
{
    // Without a selected line there is no record to change.
    const int line = selectedLine();
    if (line < 0) return;
    if (refusedForBadDate()) return;
    store::Recordset& c = affairCursor();
    if (line + 1 <= c.recordCount()) {
        const AffairBoxes b = boxes();
        c.setAbsolutePosition(line + 1);
        collectBoxes(c, b, m_ui.gjz->text(), EmptyBox::StoreNull);
        c.update();
    }
    refreshAffairList();
    selectLine(line);
}

void AffairEditor::remove()
{
    platform::Dialogs& dialogs = *m_context.services().dialogs;
    store::Recordset& c = affairCursor();
    if (c.recordCount() == 0) {
        dialogs.message(QStringLiteral("已经没有一条事务信息了！"), kWarning, platform::Buttons::Ok,
                        platform::Icon::Warning);
        return;
    }
    const int line = selectedLine();
    if (line < 0 || line + 1 > c.recordCount()) return;
    c.setAbsolutePosition(line + 1);
    if (dialogs.message(QStringLiteral("删除该条信息吗?"), kWarning, platform::Buttons::YesNo,
                        platform::Icon::Question) != platform::Answer::Yes)
        return;
    c.deleteCurrent();
    for (QLineEdit* box : {m_ui.sjd, m_ui.qssj, m_ui.jssj, m_ui.lxr, m_ui.lxdd, m_ui.jtzz, m_ui.sj,
                           m_ui.dh, m_ui.mysj, m_ui.mzsj, m_ui.mrsj})
        box->clear();
    setRawAffairText(QString());
    refreshAffairList();
}

void AffairEditor::removeAll()
{
    if (m_context.services().dialogs->message(QStringLiteral("全部删除吗?"), kWarning,
                                              platform::Buttons::YesNo,
                                              platform::Icon::Question) != platform::Answer::Yes)
        return;
    m_context.dbConnection().execute(QStringLiteral("delete * from mp"));
    m_model->clear();
    // The old snapshot still holds the deleted rows; no later command may act on them.
    reopenAffairCursor(QStringLiteral("select * from mp"));
}

void AffairEditor::clear()
{
    m_ui.gjz->clear();
    emptyScheduleAndContactBoxes();
    setRawAffairText(QString());
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
