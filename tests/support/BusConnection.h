// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace senrokan::test
{

// A connection of its own to a bus, as another program on the desktop has; closed on
// destruction.
class BusConnection
{
public:
    BusConnection() : m_name(QStringLiteral("test-%1").arg(quintptr(this))) {}
    ~BusConnection() { QDBusConnection::disconnectFromBus(m_name); }
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    // The connection to the bus at address, made on the first call.
    QDBusConnection open(const QString& address) const
    {
        return QDBusConnection::connectToBus(address, m_name);
    }
    QDBusConnection connection() const { return QDBusConnection(m_name); }

    // Offers object at path under the well-known name service, as a desktop's service does.
    bool offer(const QString& address, QObject* object, const QString& path,
               const QString& service, QDBusConnection::RegisterOptions options) const
    {
        QDBusConnection bus = open(address);
        return bus.isConnected() && bus.registerObject(path, object, options) &&
               bus.registerService(service);
    }

private:
    QString m_name;
};

} // namespace senrokan::test
