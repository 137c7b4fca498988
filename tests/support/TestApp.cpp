#include "TestApp.h"

#include <QFile>
#include <QtTest>

TestApp::TestApp()
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    QFile::copy(QStringLiteral(LUMO_SEED_DB), databasePath());
    QFile(databasePath()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_context = std::make_unique<shell::AppContext>(
        m_dir.path(),
        platform::Services{&clock, &dialogs, &desktop, &media, &speech, &printer, &autostart,
                           &alarmMedia, &notifier, &tray},
        [this](int code) { exitCodes << code; });
}
