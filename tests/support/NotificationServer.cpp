#include "NotificationServer.h"

#include <QDBusConnectionInterface>

namespace senrokan::test
{

NotificationServer::NotificationServer(QStringList capabilities)
    : m_capabilities(std::move(capabilities))
{
}

bool NotificationServer::start(const QString& address)
{
    return m_connection.offer(address, this, QStringLiteral("/org/freedesktop/Notifications"),
                              QStringLiteral("org.freedesktop.Notifications"),
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
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
