#pragma once

#include <QDBusConnection>
#include <QMutex>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QVariantMap>

// A bus of the test's own, from a configuration without service folders, so
// that no notification daemon of the machine is ever started on it.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    QString address() const { return m_address; }
    QDBusConnection connect(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

// What the fake service was asked, shared with the thread that answers.
struct NotificationLog {
    struct Sent {
        uint id;
        QString app, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        int timeout;
    };
    QMutex mutex;
    QStringList capabilities;
    QList<Sent> sent;
    QList<uint> closed;
};

// The object on the bus.
class NotificationsObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit NotificationsObject(NotificationLog& log) : m_log(log) {}

public slots:
    QStringList GetCapabilities();
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout);
    void CloseNotification(uint id);
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

signals:
    void ActionInvoked(uint id, const QString& key);
    void NotificationClosed(uint id, uint reason);

private:
    NotificationLog& m_log;
};

// org.freedesktop.Notifications as a test needs it: records every call and
// answers from its own thread, so a caller blocked on the test's thread gets
// its answer.
class FakeNotificationService {
public:
    using Sent = NotificationLog::Sent;
    // Registers on `bus` in a thread of its own.
    explicit FakeNotificationService(const PrivateBus& bus,
                                     QStringList capabilities = {"body", "actions", "body-markup"});
    ~FakeNotificationService();

    QList<Sent> sent() const;
    QList<uint> closedByClient() const;
    // Emits the signals a daemon emits when the user acts.
    void invokeAction(uint id, const QString& key);
    void closeByUser(uint id);
    // Leaves the bus, as a daemon that ends.
    void leave();

private:
    QThread m_thread;
    QString m_connectionName;
    mutable NotificationLog m_log;
    NotificationsObject* m_object = nullptr;
};
