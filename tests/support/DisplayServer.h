#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace senrokan::test
{

// A display server of its own for a test that runs the real program: Xvfb, or weston with its
// headless backend (Wayland). Each has its own runtime folder; the server stops on destruction.
class DisplayServer
{
public:
    enum class Kind { X11, Wayland };

    explicit DisplayServer(Kind kind);
    ~DisplayServer();

    // false, with error() set, when the server is missing or does not come up.
    bool start();
    QString error() const { return m_error; }
    Kind kind() const { return m_kind; }
    // ":N" of Xvfb, or weston's socket name.
    QString display() const { return m_display; }

    // base with what a Qt program needs to show itself here: the display, the Qt platform and
    // the runtime folder.
    QProcessEnvironment environment(
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

private:
    bool startXvfb();
    bool startWeston();

    Kind m_kind;
    QTemporaryDir m_runtime;
    QProcess m_server;
    QString m_display;
    QString m_error;
};

} // namespace senrokan::test
