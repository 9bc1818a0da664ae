#include "SessionBus.h"

#include "ProcessRun.h"

#include <QStandardPaths>

namespace senrokan::test
{

namespace
{
constexpr int StartLimitMs = 30000; // a guard against hanging only
}

SessionBus::~SessionBus()
{
    stopHelper(m_daemon, StartLimitMs);
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
    m_address = firstLine(m_daemon, StartLimitMs);
    if (m_address.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon did not come up: ") + m_daemon.errorString();
        return false;
    }
    return true;
}

QProcessEnvironment SessionBus::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    return base;
}

} // namespace senrokan::test
