#include "reminders/AffairSearch.h"

#include "core/Columns.h"
#include "recordbook/RecordBookController.h"
#include "recordbook/TextBoxes.h"
#include "reminders/AffairEditor.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"

#include <QLineEdit>

namespace reminders {

AffairSearch::AffairSearch(const SearchWidgets& form, shell::AppContext& context,
                           AffairEditor& editor, QObject* parent)
    : QObject(parent), m_form(form), m_context(context), m_editor(editor)
{
    connect(&m_editor, &AffairEditor::added, m_form.searchBox, &QLineEdit::clear);
    connect(&m_editor.book(), &recordbook::RecordBookController::lineDoubleClicked, this,
            [this](int line) { m_context.guarded([this, line] { doubleClickLine(line); }); });
}

void AffairSearch::substringSearch()
{
    m_editor.book().searchSubstring(m_form.searchBox->text());
    m_editor.refreshAffairList();
}

void AffairSearch::anyCharSearch()
{
    m_editor.book().clearList();
    m_editor.book().searchAnyChar(m_form.searchBox->text());
    m_editor.refreshAffairList();
    m_editor.setRawAffairText(QString());
}

void AffairSearch::viewAllAffairs()
{
    m_editor.clear();
    m_editor.reopenAffairCursor(QStringLiteral("select * from mp"));
    store::Recordset& c = m_editor.affairCursor();
    const int column = c.columnIndex(columns::kAffair);
    // A book of 100,000 affairs is tens of MB of text: it goes into the box
    // record by record, never whole beside the box's own copy.
    recordbook::RawTextEdit& box = *m_form.affairBox;
    box.beginRawText();
    for (int i = 0; i < c.recordCount(); ++i) {
        box.appendRawText(QString::fromUtf8(c.stored(i, column)));
        box.appendRawText(u"\n");
    }
    box.endRawText();
    // The list is rebuilt too: a search result left in it would make Modify
    // and Delete act on other records than their lines show.
    m_editor.refreshAffairList();
}

void AffairSearch::showKeywords()
{
    m_editor.refresh();
    m_editor.setRawAffairText(m_editor.book().keywordOverview());
    m_editor.book().reopenAll();
}

void AffairSearch::doubleClickLine(int line)
{
    store::Recordset& c = m_editor.affairCursor();
    if (c.recordCount() == 0) {
        c.addNew();
        c.update();
    }
    if (m_editor.book().recordForLine(line)) {
        m_editor.emptyScheduleAndContactBoxes();
        m_editor.fillBoxesButKeyword();
    }
    c.moveFirst();
}

} // namespace reminders
