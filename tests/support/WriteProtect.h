#pragma once

#include <QStringList>

// Makes a file and its folder refuse every write while it lives. Root writes
// whatever the mode says, so for root the immutable flag is set instead;
// active() is false where neither can be done.
class WriteProtected {
public:
    explicit WriteProtected(const QString& file);
    ~WriteProtected();
    Q_DISABLE_COPY(WriteProtected)

    bool active() const { return m_active; }

private:
    QStringList m_paths; // the file, then its folder
    bool m_immutable = false;
    bool m_active = false;
};
