#include "TestApp.h"

#include "store/Connection.h"
#include "store/Recordset.h"

#include <QDir>
#include <QFile>
#include <QtTest>

TestApp::TestApp()
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    QFile::copy(QStringLiteral(LUMO_SEED_DB), databasePath());
    QFile(databasePath()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    platform::Services services;
    services.clock = &clock;
    services.dialogs = &dialogs;
    services.desktop = &desktop;
    services.mediaPlayer = &media;
    services.speech = &speech;
    services.printer = &printer;
    services.autostart = &autostart;
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
    store::Connection c;
    c.open(databasePath());
    c.execute(sql);
}

QStringList TestApp::column(const QString& sql)
{
    store::Connection c;
    c.open(databasePath());
    store::Recordset rs(sql, c);
    QStringList out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QVariant v = rs.field(0);
        out << (v.isNull() ? QStringLiteral("<null>") : rs.text(0));
    }
    return out;
}

QString TestApp::scalar(const QString& sql)
{
    const QStringList values = column(sql);
    return values.isEmpty() ? QString() : values.first();
}
