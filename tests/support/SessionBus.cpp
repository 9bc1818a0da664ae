#include "SessionBus.h"

#include "ProcessRun.h"

#include <QStandardPaths>

namespace senrokan::test
{

namespace
{
constexpr int StartLimitMs = 30000; // a guard against hanging only
}

SessionBus::SessionBus() = default;

SessionBus::~SessionBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(StartLimitMs))
            m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

bool SessionBus::start()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon is not installed (scripts/deps installs it)");
        return false;
    }
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endsWithTest(m_daemon);
    m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--print-address")});
    // The address is printed once the bus accepts connections.
    while (m_daemon.state() != QProcess::NotRunning && !m_daemon.canReadLine())
        if (!m_daemon.waitForReadyRead(StartLimitMs))
            break;
    m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    if (m_address.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon did not come up: ") + m_daemon.errorString();
        return false;
    }
    return true;
}

QString SessionBus::error() const
{
    return m_error;
}

QString SessionBus::address() const
{
    return m_address;
}

QProcessEnvironment SessionBus::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    return base;
}

} // namespace senrokan::test
