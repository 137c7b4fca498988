#pragma once

#include <QList>
#include <QString>

namespace books {

// Where a new entry's name (column 外部) comes from.
enum class NameSource {
    FileDialog, // the path chosen in the open-file dialog; never changed later
    Text2,      // typed into Text2, which is also the search box
};

// One item of the window's menu bar. An item without a button opens the
// submenu made of the items marked inSubmenu that follow it.
struct MenuItem {
    QString name;
    QString caption;
    QString button; // objectName of the button whose command it runs
    bool inSubmenu = false;
};

// Everything that makes one category book differ from the other.
struct BookConfig {
    QString windowName; // the window's objectName
    QString table;
    QString caption;
    QString treeLabel;                           // above TreeView1
    QString descriptionLabel;                    // above Text1
    QList<std::pair<QString, QString>> toolTips; // control objectName, tool tip
    QList<MenuItem> menu;
    NameSource nameSource = NameSource::Text2;
};

// yycxlb over wblb: links to files, opened with a double-click.
const BookConfig& documentBook();
// qqzxcx over qqzx: named entries typed into Text2.
const BookConfig& miscellanyBook();

} // namespace books
