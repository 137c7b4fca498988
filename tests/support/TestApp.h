#pragma once

#include "FakeNotifier.h"
#include "Fakes.h"
#include "PlainDb.h"
#include "shell/AppContext.h"

#include <QTemporaryDir>
#include <memory>

// A fresh application folder (seed database copied in) with every service faked.
// Ending the process is recorded instead of done.
class TestApp {
public:
    TestApp();

    QString path() const { return m_dir.path(); }
    QString databasePath() const { return m_dir.filePath(QStringLiteral("rmd.mdb")); }
    shell::AppContext& context() { return *m_context; }

    // Plain SQLite on the folder's database, never through the program's store.
    void exec(const QString& sql) { plainExec(databasePath(), sql); }
    // First column of every row; null as "<null>".
    QStringList column(const QString& sql) { return plainColumn(databasePath(), sql); }
    QString scalar(const QString& sql) { return plainScalar(databasePath(), sql); }

    fakes::FakeClock clock;
    fakes::FakeDialogs dialogs;
    fakes::FakeDesktop desktop;
    fakes::FakeMediaPlayer media;
    fakes::FakeMediaPlayer alarmMedia;
    fakes::FakeSpeech speech;
    fakes::FakeSpreadsheetPrinter printer;
    fakes::FakeAutostart autostart;
    fakes::FakeNotifier notifier;
    fakes::FakeTray tray;
    QList<int> exitCodes;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<shell::AppContext> m_context;
};
