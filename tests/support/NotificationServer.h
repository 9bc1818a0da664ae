// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "BusConnection.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace senrokan::test
{

// A desktop notification service (org.freedesktop.Notifications) on a test's bus that keeps
// every call it gets and plays the user's part: choosing an action, closing by itself.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
        uint id = 0; // the id it answered
    };

    explicit NotificationServer(QStringList capabilities = {"actions", "body"})
        : m_capabilities(std::move(capabilities))
    {
    }

    // Connects to the bus at address and takes the service's name; false when it cannot.
    bool start(const QString& address)
    {
        return m_connection.offer(address, this, QStringLiteral("/org/freedesktop/Notifications"),
                                  QStringLiteral("org.freedesktop.Notifications"),
                                  QDBusConnection::ExportAllSlots |
                                      QDBusConnection::ExportAllSignals);
    }

    QList<Notice> notices;
    QList<uint> closed; // ids in CloseNotification calls
    int capabilityCalls = 0;

    // The user chose the action of notification id; as desktops do, the notification goes then
    // (reason 2, dismissed by the user).
    void invokeAction(uint id, const QString& action)
    {
        Q_EMIT ActionInvoked(id, action);
        Q_EMIT NotificationClosed(id, 2);
    }

public Q_SLOTS:
    QStringList GetCapabilities()
    {
        ++capabilityCalls;
        return m_capabilities;
    }
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout)
    {
        const uint id = replacesId != 0 ? replacesId : ++m_lastId;
        notices.append({appName, replacesId, icon, summary, body, actions, hints, timeout, id});
        return id;
    }
    void CloseNotification(uint id)
    {
        closed << id;
        Q_EMIT NotificationClosed(id, 3);
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    QStringList m_capabilities;
    BusConnection m_connection;
    uint m_lastId = 0;
};

} // namespace senrokan::test
