#include "SessionBus.h"

namespace senrokan::test
{

namespace
{

constexpr int StartLimitMs = 30000; // a hang guard; the daemon names its address at once

} // namespace

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
    // Its complaints about resource limits it cannot raise are no concern of a test.
    m_daemon.setStandardErrorFile(QProcess::nullDevice());
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    if (!m_daemon.waitForStarted(StartLimitMs)) {
        m_error = QStringLiteral("dbus-daemon does not start: ") + m_daemon.errorString();
        return false;
    }
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(StartLimitMs)) {
            m_error = QStringLiteral("dbus-daemon named no address");
            return false;
        }
    }
    m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
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
