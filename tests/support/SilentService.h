// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "BusConnection.h"

#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>

namespace senrokan::test
{

// A desktop service hung in its own work: it owns its name on a test's bus and takes every
// call made to its object, Introspect and Properties.Get included, without ever answering. It
// keeps what it was asked, and when.
class SilentService : public QDBusVirtualObject
{
    Q_OBJECT
public:
    struct Call {
        QString interface;
        QString member;
        qint64 atMs = 0; // since start()
    };

    // Connects to the bus at address and takes the name service for the object at path; false
    // when it cannot.
    bool start(const QString& address, const QString& service, const QString& path)
    {
        m_clock.start();
        QDBusConnection bus = m_connection.open(address);
        return bus.isConnected() && bus.registerVirtualObject(path, this) &&
               bus.registerService(service);
    }

    QList<Call> calls;
    qint64 elapsedMs() const { return m_clock.elapsed(); } // since start()

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override
    {
        calls.append({message.interface(), message.member(), m_clock.elapsed()});
        return true;
    }

private:
    BusConnection m_connection;
    QElapsedTimer m_clock;
};

} // namespace senrokan::test
