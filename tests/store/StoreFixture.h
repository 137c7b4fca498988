#pragma once

#include <QStringList>
#include <QTemporaryDir>

namespace store {
class Recordset;
}

// A database made from the schema in a temporary folder, plus a second,
// independent handle on it that plays "someone else".
class StoreFixture {
public:
    StoreFixture();
    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }

    void exec(const QString& sql) const;
    QStringList column(const QString& sql) const; // null reads "<null>"
    QString scalar(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The text of one column of every row, walking the cursor either way.
QStringList walkForward(store::Recordset& rs, int column);
QStringList walkBackward(store::Recordset& rs, int column);
