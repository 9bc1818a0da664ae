#include "DisplayServer.h"

#include "ChildProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace senrokan::test
{

namespace
{

constexpr int StartLimitMs = 60000; // a hang guard; servers come up in a second or two

} // namespace

DisplayServer::DisplayServer(Kind kind) : m_kind(kind) {}

DisplayServer::~DisplayServer()
{
    stopChild(m_server, StartLimitMs);
}

bool DisplayServer::start()
{
    // Wayland's socket and Qt's runtime files go here; both want it private to the user.
    if (!m_runtime.isValid() ||
        !QFile::setPermissions(m_runtime.path(),
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        m_error = QStringLiteral("no private runtime folder");
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_server.setProcessEnvironment(env);
    return m_kind == Kind::X11 ? startXvfb() : startWeston();
}

bool DisplayServer::startXvfb()
{
    // Xvfb picks a free display itself and names it on stdout once it accepts clients.
    m_server.start(QStringLiteral("Xvfb"),
                   {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (!m_server.waitForStarted(StartLimitMs)) {
        m_error = QStringLiteral("Xvfb does not start: ") + m_server.errorString();
        return false;
    }
    const std::optional<QString> display = firstLine(m_server, StartLimitMs);
    if (!display) {
        m_error = QStringLiteral("Xvfb named no display");
        return false;
    }
    m_display = QLatin1Char(':') + *display;
    return true;
}

bool DisplayServer::startWeston()
{
    m_display = QStringLiteral("wayland-senrokan");
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(QStringLiteral("weston"), {"--backend=headless-backend.so",
                                              "--socket=" + m_display, "--idle-time=0"});
    if (!m_server.waitForStarted(StartLimitMs)) {
        m_error = QStringLiteral("weston does not start: ") + m_server.errorString();
        return false;
    }
    // weston takes clients once its socket is there.
    const QString socket = m_runtime.filePath(m_display);
    const QDeadlineTimer deadline(StartLimitMs);
    while (!QFile::exists(socket)) {
        if (deadline.hasExpired() || m_server.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("weston did not come up: ") +
                      QString::fromLocal8Bit(m_server.readAll());
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

QProcessEnvironment DisplayServer::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    if (m_kind == Kind::X11) {
        base.insert(QStringLiteral("DISPLAY"), m_display);
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        base.remove(QStringLiteral("WAYLAND_DISPLAY"));
    } else {
        base.insert(QStringLiteral("WAYLAND_DISPLAY"), m_display);
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        base.remove(QStringLiteral("DISPLAY"));
    }
    return base;
}

} // namespace senrokan::test
