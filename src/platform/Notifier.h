#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>

namespace platform {

// One desktop notification. `actions` holds key, label pairs.
struct Notification {
    QString summary;
    QString body; // plain text; escaped here when the service reads markup
    QString icon;
    QStringList actions;
    bool critical = false;
};

// The icon notifications show: the drawing shipped beside the program in
// `appFolder`, else the installed theme icon.
QString notificationIcon(const QString& appFolder);

// The desktop's notification service. A service that is missing or gone is
// no error for the user: notify() says so and the next call tries again.
class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // The id the service gave, or 0 when no service took it.
    virtual uint notify(const Notification& notification) = 0;
    virtual bool supportsActions() const = 0;
    virtual void close(uint id) = 0;

signals:
    void actionInvoked(uint id, const QString& key);
    void closed(uint id);
};

// org.freedesktop.Notifications over Qt D-Bus.
class DBusNotifier : public Notifier {
    Q_OBJECT
public:
    explicit DBusNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    uint notify(const Notification& notification) override;
    bool supportsActions() const override
    {
        return m_capabilities.contains(QStringLiteral("actions"));
    }
    void close(uint id) override;

    // Asks the service what it offers; false when none answers in time. It
    // also starts a daemon the bus activates on demand.
    bool probe();

    // `&`, `<` and `>` as entities, for services that read the body as markup.
    static QString escapeMarkup(const QString& text);

private slots:
    void onActionInvoked(uint id, const QString& key);
    void onClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    QStringList m_capabilities;
};

} // namespace platform
