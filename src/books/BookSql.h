#pragma once

#include <QString>

namespace books {

// The statements a category book sends over its table.
struct BookSql {
    QString table;

    QString allRows() const;
    QString allRowsForAdding() const;
    QString categories() const;
    // Rows of category `c`; the text is matched literally.
    QString oneCategory(const QString& c) const;
    // The description searches' statement up to the column.
    QString searchHead() const;
};

} // namespace books
