#pragma once

#include "PlainDb.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A copy of the seed book in a folder of its own, for tests that need no window.
class TestBook {
public:
    TestBook()
    {
        QVERIFY2(m_dir.isValid(), "no temporary folder");
        QFile::copy(QStringLiteral(LUMO_SEED_DB), path());
        QFile(path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QString path() const { return m_dir.filePath(QStringLiteral("rmd.mdb")); }
    void exec(const QString& sql) { plainExec(path(), sql); }
    QStringList column(const QString& sql) { return plainColumn(path(), sql); }

private:
    QTemporaryDir m_dir;
};
