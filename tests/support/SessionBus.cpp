#include "SessionBus.h"

#include "ChildProcess.h"

namespace senrokan::test
{

namespace
{

constexpr int StartLimitMs = 30000; // a hang guard; the daemon names its address at once

} // namespace

SessionBus::SessionBus() = default;

SessionBus::~SessionBus()
{
    stopChild(m_daemon, StartLimitMs);
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
    const std::optional<QString> address = firstLine(m_daemon, StartLimitMs);
    if (!address) {
        m_error = QStringLiteral("dbus-daemon named no address");
        return false;
    }
    m_address = *address;
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
