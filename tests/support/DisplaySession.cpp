// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DisplaySession.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace senrokan::test
{

namespace
{

constexpr int LimitMs = 60000; // a guard against hanging only

} // namespace

TrayHost::~TrayHost()
{
    stop();
}

bool TrayHost::start(const QProcessEnvironment& environment)
{
    if (m_trayer.state() == QProcess::NotRunning) {
        m_trayer.setProcessEnvironment(environment);
        m_trayer.setStandardOutputFile(QProcess::nullDevice());
        m_trayer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        endsWithTest(m_trayer);
        m_trayer.start(QStringLiteral("trayer"),
                       {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                        "120", "--heighttype", "pixel", "--height", "24"});
    }
    ProcessOptions options;
    options.environment = environment;
    const QDeadlineTimer deadline(LimitMs);
    while (!deadline.hasExpired() && m_trayer.state() != QProcess::NotRunning) {
        if (runProcess(QStringLiteral("xwininfo"), {"-root", "-tree"}, options)
                .out.contains("(\"panel\" \"trayer\")"))
            return true;
        QThread::msleep(50);
    }
    m_error = QStringLiteral("trayer did not come on screen: ") + m_trayer.errorString();
    return false;
}

void TrayHost::stop()
{
    stopHelper(m_trayer, LimitMs);
}

DisplaySession::~DisplaySession()
{
    m_tray.stop();
    stopHelper(m_server, LimitMs);
}

bool DisplaySession::start()
{
    // The accessibility bus and Wayland keep their sockets in the runtime folder, which must be
    // private.
    if (!m_runtime.isValid() ||
        !QFile::setPermissions(m_runtime.path(),
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        m_error = QStringLiteral("no runtime folder");
        return false;
    }
    if ((m_options & Wayland) && (m_options & Tray)) {
        m_error = QStringLiteral("trayer needs an X server");
        return false;
    }
    if (!m_bus.start()) {
        m_error = m_bus.error();
        return false;
    }
    QProcessEnvironment serverEnvironment = QProcessEnvironment::systemEnvironment();
    serverEnvironment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    serverEnvironment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_server.setProcessEnvironment(serverEnvironment);
    endsWithTest(m_server);
    if (!((m_options & Wayland) ? startWeston() : startXvfb()))
        return false;

    if (m_options & Accessibility) {
        const ProcessResult enabled =
            runProcess(QStringLiteral("dbus-send"),
                       {"--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                        "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                        "string:IsEnabled", "variant:boolean:true"},
                       {environment(), {}, LimitMs});
        if (enabled.exitCode != 0) {
            m_error = QStringLiteral("the accessibility bus did not come up: ") +
                      QString::fromLocal8Bit(enabled.err);
            return false;
        }
    }
    if ((m_options & Tray) && !m_tray.start(environment())) {
        m_error = m_tray.error();
        return false;
    }
    return true;
}

bool DisplaySession::startXvfb()
{
    // Xvfb picks a free display itself and names it once it accepts clients. Without -noreset it
    // resets when its last client leaves and refuses the next one meanwhile.
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1024x768x24",
                                            "-nolisten", "tcp", "-noreset"});
    const QString number = firstLine(m_server, LimitMs);
    if (number.isEmpty()) {
        m_error = QStringLiteral("Xvfb named no display: ") + m_server.errorString();
        return false;
    }
    m_display = QLatin1Char(':') + number;
    return true;
}

bool DisplaySession::startWeston()
{
    m_display = QStringLiteral("wayland-senrokan");
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(QStringLiteral("weston"), {"--backend=headless-backend.so",
                                              "--socket=" + m_display, "--idle-time=0"});
    if (!m_server.waitForStarted(LimitMs)) {
        m_error = QStringLiteral("weston does not start: ") + m_server.errorString();
        return false;
    }
    // weston takes clients once its socket is there.
    const QString socket = m_runtime.filePath(m_display);
    const QDeadlineTimer deadline(LimitMs);
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

QProcessEnvironment DisplaySession::environment(QProcessEnvironment base) const
{
    base = m_bus.environment(base);
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    if (m_options & Wayland) {
        base.remove(QStringLiteral("DISPLAY"));
        base.insert(QStringLiteral("WAYLAND_DISPLAY"), m_display);
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    } else {
        base.remove(QStringLiteral("WAYLAND_DISPLAY"));
        base.insert(QStringLiteral("DISPLAY"), m_display);
        base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    return base;
}

ProcessResult DisplaySession::x(const QString& program, const QStringList& arguments) const
{
    return runProcess(program, arguments, {environment(), {}, LimitMs});
}

} // namespace senrokan::test
