#include "TestApp.h"

#include "PlainDb.h"

#include <QDir>
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

TestApp::~TestApp() = default;

QString TestApp::databasePath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("rmd.mdb"));
}

void TestApp::exec(const QString& sql)
{
    plainExec(databasePath(), sql);
}

QStringList TestApp::column(const QString& sql)
{
    return plainColumn(databasePath(), sql);
}

QString TestApp::scalar(const QString& sql)
{
    return plainScalar(databasePath(), sql);
}
