#include "NotificationBus.h"

#include <QDBusMetaType>
#include <QFile>
#include <QTest>

PrivateBus::PrivateBus()
{
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral(
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                   "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                   .arg(m_dir.path())
                   .toUtf8());
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted(5000)) return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

QDBusConnection PrivateBus::connect(const QString& name) const
{
    return QDBusConnection::connectToBus(m_address, name);
}

FakeNotificationService::FakeNotificationService(const PrivateBus& bus, QStringList capabilities)
    : m_connectionName(QStringLiteral("fake-notifications-%1").arg(quintptr(this)))
{
    m_log.capabilities = std::move(capabilities);
    m_thread.start();
    QObject context;
    context.moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        &context,
        [this, &bus] {
            m_object = new NotificationsObject(m_log);
            QDBusConnection connection = bus.connect(m_connectionName);
            connection.registerObject(QStringLiteral("/org/freedesktop/Notifications"), m_object,
                                      QDBusConnection::ExportAllSlots |
                                          QDBusConnection::ExportAllSignals);
            connection.registerService(QStringLiteral("org.freedesktop.Notifications"));
        },
        Qt::BlockingQueuedConnection);
}

FakeNotificationService::~FakeNotificationService()
{
    leave();
    m_thread.quit();
    m_thread.wait();
}

void FakeNotificationService::leave()
{
    if (!m_object) return;
    QMetaObject::invokeMethod(
        m_object,
        [this] {
            QDBusConnection connection(m_connectionName);
            connection.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
            connection.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
            delete m_object;
            m_object = nullptr;
            QDBusConnection::disconnectFromBus(m_connectionName);
        },
        Qt::BlockingQueuedConnection);
}

QList<FakeNotificationService::Sent> FakeNotificationService::sent() const
{
    QMutexLocker lock(&m_log.mutex);
    return m_log.sent;
}

QList<uint> FakeNotificationService::closedByClient() const
{
    QMutexLocker lock(&m_log.mutex);
    return m_log.closed;
}

void FakeNotificationService::invokeAction(uint id, const QString& key)
{
    QMetaObject::invokeMethod(m_object, [=, this] { emit m_object->ActionInvoked(id, key); });
}

void FakeNotificationService::closeByUser(uint id)
{
    QMetaObject::invokeMethod(m_object, [=, this] { emit m_object->NotificationClosed(id, 2); });
}

QStringList NotificationsObject::GetCapabilities()
{
    QMutexLocker lock(&m_log.mutex);
    return m_log.capabilities;
}

uint NotificationsObject::Notify(const QString& app, uint, const QString& icon,
                                 const QString& summary, const QString& body,
                                 const QStringList& actions, const QVariantMap& hints, int timeout)
{
    QMutexLocker lock(&m_log.mutex);
    const uint id = uint(m_log.sent.size()) + 1;
    m_log.sent.append({id, app, icon, summary, body, actions, hints, timeout});
    return id;
}

void NotificationsObject::CloseNotification(uint id)
{
    QMutexLocker lock(&m_log.mutex);
    m_log.closed << id;
}

QString NotificationsObject::GetServerInformation(QString& vendor, QString& version,
                                                  QString& specVersion)
{
    vendor = QStringLiteral("Lumo tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake");
}
