#pragma once

#include "core/AffairText.h"
#include "recordbook/RecordBookController.h"

#include <QObject>

class QDate;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QWidget;

namespace shell {
class AppContext;
}
namespace store {
class Recordset;
}
namespace recordbook {
class RawTextEdit;
class RecordList;
} // namespace recordbook

namespace reminders {

class LunarChooser;

// The widgets of the form the editor works on, named as in the form.
struct EditorWidgets {
    recordbook::RecordList* List1;
    QLineEdit *gjz, *sjd, *qssj, *jssj, *lxr, *lxdd, *jtzz, *sj, *dh;
    QLineEdit *mysj, *mzsj, *mrsj, *mymrsj, *nlmnsj, *nlmysj;
    recordbook::RawTextEdit* affairBox;
    QDateEdit *DTPicker1, *DTPicker2, *DTPicker3, *DTPicker9, *DTPicker10, *DTPicker11, *DTPicker12;
    QPushButton *DTPicker13, *DTPicker14; // the lunar choosers
};

// Add and Modify store affair texts up to 1 MB (as UTF-8).
constexpr qsizetype kAffairTextLimit = 1024 * 1024;
inline const QString kAffairTooLongText =
    QStringLiteral("要事内容太长，超过了 1 MB（约 34 万个汉字），无法保存。请把它缩短后再保存。");

// The editor of the reminder window: the fourteen boxes, the seven date
// pickers, the affair list and the commands that change the book. All of
// them work on the shared affairCursor through the record book; a list
// line n stands for its record n + 1.
class AffairEditor : public QObject {
    Q_OBJECT
public:
    AffairEditor(const EditorWidgets& form, shell::AppContext& context, QObject* parent = nullptr);

    // Commands.
    void add();
    void modify();
    void remove();
    void removeAll();
    void clear();
    void refresh();
    void quit();

    // Routines the other parts of the window share.
    void refreshAffairList();
    // Selects a line as the user would, loading its record before returning.
    void selectLine(int line);
    int selectedLine() const; // -1 when no line is selected
    void reopenAffairCursor(const QString& sql);
    store::Recordset& affairCursor() const;
    void emptyScheduleAndContactBoxes();
    // Fills every box but gjz from the cursor's current record.
    void fillBoxesButKeyword();
    core::AffairBoxes boxes() const;
    QString rawAffairText() const;
    void setRawAffairText(const QString& text);
    recordbook::RecordBookController& book() const { return *m_book; }

    // Shows `date` in every picker without writing any box.
    void setPickers(const QDate& date);

signals:
    // An added affair is listed and selected; the search box is to be emptied.
    void added();

private:
    recordbook::BookDescriptor affairBook();
    void ensureOneRecord();
    void showAdded();
    bool refusedForBadDate();
    static void fixWidthForFormat(QDateEdit* picker, const QString& format);
    // An affair text over kAffairTextLimit is refused with a message.
    bool refusedForSize();
    void connectPicker(QDateEdit* picker, QLineEdit* box, QString (*text)(const QDate&),
                       const QString& format);

    EditorWidgets m_form;
    shell::AppContext& m_context;
    recordbook::RecordBookController* m_book;
    LunarChooser* m_yearlyChooser = nullptr;
};

} // namespace reminders
