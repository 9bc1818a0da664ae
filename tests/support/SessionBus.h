#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace senrokan::test
{

// A private D-Bus session bus (dbus-daemon --session --nofork --print-address) for one test;
// the daemon is stopped on destruction.
class SessionBus
{
public:
    ~SessionBus();
    // false, with error() set, when dbus-daemon is missing or does not come up
    bool start();
    QString error() const { return m_error; }
    QString address() const { return m_address; } // the value for DBUS_SESSION_BUS_ADDRESS
    // base with DBUS_SESSION_BUS_ADDRESS set to this bus
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

private:
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};

} // namespace senrokan::test
