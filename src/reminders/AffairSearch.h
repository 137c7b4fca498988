#pragma once

#include <QObject>
#include <QString>

namespace shell {
class AppContext;
}

namespace reminders {

namespace Ui {
class ReminderWindow;
}
class AffairEditor;

// Finding affairs: the two searches over the stored text, the views of all
// affairs and of all keywords, and the double-click on a list line.
class AffairSearch : public QObject {
    Q_OBJECT
public:
    AffairSearch(Ui::ReminderWindow& ui, shell::AppContext& context, AffairEditor& editor,
                 QObject* parent = nullptr);

    void substringSearch();
    void anyCharSearch();
    void viewAllAffairs();
    void showKeywords();
    // Loads line `line` like a click but keeps gjz and leaves the cursor on
    // its first record. A double-click on a line that was not selected has
    // loaded it, keyword included, by the time this runs.
    void doubleClickLine(int line);

private:
    Ui::ReminderWindow& m_ui;
    shell::AppContext& m_context;
    AffairEditor& m_editor;
};

} // namespace reminders
