// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ProcessRun.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>

namespace senrokan::test
{

// A private D-Bus session bus (dbus-daemon --session --nofork --print-address) for one test;
// the daemon is stopped on destruction.
class SessionBus
{
public:
    static constexpr int StartLimitMs = 30000; // a guard against hanging only

    ~SessionBus() { stopHelper(m_daemon, StartLimitMs); }

    // false, with error() set, when dbus-daemon is missing or does not come up
    bool start()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            m_error = QStringLiteral("dbus-daemon is not installed (scripts/deps installs it)");
            return false;
        }
        m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        endsWithTest(m_daemon);
        m_daemon.start(daemon, {"--session", "--nofork", "--print-address"});
        // The address is printed once the bus accepts connections.
        m_address = firstLine(m_daemon, StartLimitMs);
        if (m_address.isEmpty())
            m_error = QStringLiteral("dbus-daemon did not come up: ") + m_daemon.errorString();
        return !m_address.isEmpty();
    }
    QString error() const { return m_error; }
    QString address() const { return m_address; } // the value for DBUS_SESSION_BUS_ADDRESS
    // base with DBUS_SESSION_BUS_ADDRESS set to this bus
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const
    {
        base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        return base;
    }

private:
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

} // namespace senrokan::test
