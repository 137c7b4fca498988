#include "TestApp.h"

#include <QFile>
#include <QtTest>

TestApp::TestApp()
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    QFile::copy(QStringLiteral(LUMO_SEED_DB), databasePath());
    QFile(databasePath()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const platform::Services services{&clock,  &dialogs, &desktop,  &media,
                                      &speech, &printer, &autostart};
    m_context = std::make_unique<shell::AppContext>(m_dir.path(), services,
                                                    [this](int code) { exitCodes << code; });
}
