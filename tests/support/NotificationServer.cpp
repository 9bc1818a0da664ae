#include "NotificationServer.h"

#include <QDBusConnectionInterface>

namespace senrokan::test
{

NotificationServer::NotificationServer(QStringList capabilities)
    : m_capabilities(std::move(capabilities)),
      m_connectionName(QStringLiteral("notifications-%1").arg(quintptr(this)))
{
}

NotificationServer::~NotificationServer()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool NotificationServer::start(const QString& address)
{
    QDBusConnection bus = QDBusConnection::connectToBus(address, m_connectionName);
    return bus.isConnected() &&
           bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                              QDBusConnection::ExportAllSlots |
                                  QDBusConnection::ExportAllSignals) &&
           bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

void NotificationServer::invokeAction(uint id, const QString& action)
{
    Q_EMIT ActionInvoked(id, action);
    // As desktops do after an action: the notification goes (reason 2, dismissed by the user).
    Q_EMIT NotificationClosed(id, 2);
}

QStringList NotificationServer::GetCapabilities()
{
    ++capabilityCalls;
    return m_capabilities;
}

uint NotificationServer::Notify(const QString& appName, uint replacesId, const QString& icon,
                                const QString& summary, const QString& body,
                                const QStringList& actions, const QVariantMap& hints,
                                int timeout)
{
    const uint id = replacesId != 0 ? replacesId : ++m_lastId;
    notices.append({appName, replacesId, icon, summary, body, actions, hints, timeout, id});
    return id;
}

void NotificationServer::CloseNotification(uint id)
{
    closed << id;
    Q_EMIT NotificationClosed(id, 3);
}

} // namespace senrokan::test
