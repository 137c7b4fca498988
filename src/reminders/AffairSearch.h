#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace shell {
class AppContext;
}
namespace recordbook {
class RawTextEdit;
}

namespace reminders {

class AffairEditor;

// The widgets of the form the searches work on.
struct SearchWidgets {
    QLineEdit* searchBox;
    recordbook::RawTextEdit* affairBox;
};

// Finding affairs: the two searches over the stored text, the views of all
// affairs and of all keywords, and the double-click on a list line.
class AffairSearch : public QObject {
    Q_OBJECT
public:
    AffairSearch(const SearchWidgets& form, shell::AppContext& context, AffairEditor& editor,
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
    SearchWidgets m_form;
    shell::AppContext& m_context;
    AffairEditor& m_editor;
};

} // namespace reminders
