#include "DisplaySession.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace senrokan::test
{

namespace
{

constexpr int LimitMs = 60000; // a guard against hanging only

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(LimitMs))
        process.kill();
    process.waitForFinished();
}

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
    senrokan::test::stop(m_trayer);
}

DisplaySession::~DisplaySession()
{
    m_tray.stop();
    stop(m_xvfb);
}

bool DisplaySession::start()
{
    // The accessibility bus keeps its socket in the runtime folder, which must be private.
    if (!m_runtime.isValid() ||
        !QFile::setPermissions(m_runtime.path(),
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        m_error = QStringLiteral("no runtime folder");
        return false;
    }
    if (!m_bus.start()) {
        m_error = m_bus.error();
        return false;
    }
    // Xvfb picks a free display itself and names it once it accepts clients.
    endsWithTest(m_xvfb);
    m_xvfb.setStandardErrorFile(QProcess::nullDevice());
    m_xvfb.start(QStringLiteral("Xvfb"),
                 {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    while (m_xvfb.state() != QProcess::NotRunning && !m_xvfb.canReadLine())
        if (!m_xvfb.waitForReadyRead(LimitMs))
            break;
    const QByteArray number = m_xvfb.readLine().trimmed();
    if (number.isEmpty()) {
        m_error = QStringLiteral("Xvfb named no display: ") + m_xvfb.errorString();
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number);

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

QProcessEnvironment DisplaySession::environment(QProcessEnvironment base) const
{
    base = m_bus.environment(base);
    base.insert(QStringLiteral("DISPLAY"), m_display);
    base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    return base;
}

ProcessResult DisplaySession::x(const QString& program, const QStringList& arguments) const
{
    return runProcess(program, arguments, {environment(), {}, LimitMs});
}

} // namespace senrokan::test
