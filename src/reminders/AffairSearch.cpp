#include "reminders/AffairSearch.h"

#include "reminders/AffairEditor.h"
#include "reminders/AffairListModel.h"
#include "reminders/SearchSql.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "ui_rmd.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>

namespace reminders {

namespace {

QString withoutTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.left(end);
}

} // namespace

AffairSearch::AffairSearch(Ui::ReminderWindow& ui, shell::AppContext& context, AffairEditor& editor,
                           QObject* parent)
    : QObject(parent), m_ui(ui), m_context(context), m_editor(editor)
{
    m_ui.List1->viewport()->installEventFilter(this);
    connect(m_ui.List1, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        m_context.guarded([this, line = index.row()] { doubleClickLine(line); });
    });
}

void AffairSearch::substringSearch()
{
    const QString s = searchText(m_ui.searchBox->text());
    m_editor.reopenAffairCursor(substringSearchSql(s));
    m_editor.refreshAffairList();
}

void AffairSearch::anyCharSearch()
{
    const QString s = searchText(m_ui.searchBox->text());
    m_editor.listModel().clear();
    m_editor.reopenAffairCursor(anyCharSearchSql(s));
    m_editor.refreshAffairList();
    m_editor.setRawAffairText(QString());
}

void AffairSearch::viewAllAffairs()
{
    m_editor.clear();
    m_editor.reopenAffairCursor(QStringLiteral("select * from mp"));
    m_editor.setRawAffairText(QString());
    store::Recordset& c = m_editor.affairCursor();
    const int column = c.columnIndex(QStringLiteral("要事"));
    QString all;
    for (int i = 0; i < c.recordCount(); ++i) {
        all += c.rowText(i, column);
        all += u'\n';
    }
    m_editor.setRawAffairText(all);
    // The list is rebuilt too: a search result left in it would make Modify
    // and Delete act on other records than their lines show.
    m_editor.refreshAffairList();
}

void AffairSearch::showKeywords()
{
    m_editor.refresh();
    m_editor.setRawAffairText(QString());
    m_editor.reopenAffairCursor(QStringLiteral("select distinct 要事关键字 from mp"));
    store::Recordset& c = m_editor.affairCursor();
    QString keywords;
    for (c.moveFirst(); !c.eof(); c.moveNext()) {
        const QString keyword = c.text(0);
        if (!withoutTrailingBlanks(keyword).isEmpty()) keywords += QStringLiteral("  ") + keyword;
    }
    m_editor.setRawAffairText(keywords);
    m_editor.reopenAffairCursor(QStringLiteral("select * from mp"));
}

void AffairSearch::doubleClickLine(int line)
{
    store::Recordset& c = m_editor.affairCursor();
    if (c.recordCount() == 0) {
        c.addNew();
        c.update();
    }
    if (line >= 0 && line + 1 <= c.recordCount()) {
        c.setAbsolutePosition(line + 1);
        m_editor.emptyScheduleAndContactBoxes();
        m_editor.fillBoxesFromCurrent(false);
    }
    c.moveFirst();
}

bool AffairSearch::eventFilter(QObject* watched, QEvent* event)
{
    // The first click of a double-click loads the line, keyword included;
    // the double-click must leave gjz as it was before that click.
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const quint64 interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
        if (!m_pressed || mouse->timestamp() > m_lastPress + interval)
            m_keywordBeforeClick = m_ui.gjz->text();
        m_pressed = true;
        m_lastPress = mouse->timestamp();
    } else if (event->type() == QEvent::MouseButtonDblClick && m_pressed) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_ui.List1->indexAt(mouse->position().toPoint()).isValid())
            m_ui.gjz->setText(m_keywordBeforeClick);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace reminders
