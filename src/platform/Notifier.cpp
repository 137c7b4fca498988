#include "platform/Notifier.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QFileInfo>
#include <QVariantMap>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
// Long enough for a daemon the bus starts on demand, short enough not to
// hold up the window when a service hangs.
constexpr int kProbeTimeoutMs = 3000;
constexpr int kCallTimeoutMs = 3000;

} // namespace

DBusNotifier::DBusNotifier(const QDBusConnection& bus, QObject* parent)
    : Notifier(parent), m_bus(bus)
{
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(uint, uint)));
}

QString notificationIcon(const QString& appFolder)
{
    const QString beside = appFolder + QStringLiteral("/lumo.svg");
    if (QFileInfo(beside).isFile()) return beside;
    return QStringLiteral("lumo");
}

QString DBusNotifier::escapeMarkup(const QString& text)
{
    QString out = text;
    out.replace(u'&', QStringLiteral("&amp;"));
    out.replace(u'<', QStringLiteral("&lt;"));
    out.replace(u'>', QStringLiteral("&gt;"));
    return out;
}

bool DBusNotifier::probe()
{
    m_capabilities.clear();
    if (!m_bus.isConnected()) return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                             QStringLiteral("GetCapabilities"));
    const QDBusReply<QStringList> reply = m_bus.call(call, QDBus::Block, kProbeTimeoutMs);
    if (!reply.isValid()) return false;
    m_capabilities = reply.value();
    return true;
}

uint DBusNotifier::notify(const Notification& n)
{
    // Asked every time: a daemon may have gone or changed since the last one.
    if (!probe()) return 0;
    const bool markup = m_capabilities.contains(QStringLiteral("body-markup"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(n.critical ? 2 : 1)));
    hints.insert(QStringLiteral("category"), QStringLiteral("im"));
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Lumo") << uint(0) << n.icon << n.summary
         << (markup ? escapeMarkup(n.body) : n.body)
         << (supportsActions() ? n.actions : QStringList()) << hints << int(n.critical ? 0 : -1);
    const QDBusReply<uint> reply = m_bus.call(call, QDBus::Block, kCallTimeoutMs);
    return reply.isValid() ? reply.value() : 0;
}

void DBusNotifier::close(uint id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    m_bus.call(call, QDBus::NoBlock);
}

void DBusNotifier::onActionInvoked(uint id, const QString& key)
{
    emit actionInvoked(id, key);
}

void DBusNotifier::onClosed(uint id, uint)
{
    emit closed(id);
}

} // namespace platform
