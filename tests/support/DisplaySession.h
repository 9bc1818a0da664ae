// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ProcessRun.h"
#include "SessionBus.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace senrokan::test
{

// trayer as the notification area of the X server named in an environment.
class TrayHost
{
public:
    ~TrayHost();
    // Started (again, should it have ended) and on screen; false with error() set otherwise.
    bool start(const QProcessEnvironment& environment);
    void stop();
    QString error() const { return m_error; }

private:
    QProcess m_trayer;
    QString m_error;
};

// A display server of the test's own, an X server (Xvfb) or with Wayland a compositor (weston,
// headless), with a private D-Bus session bus and runtime folder, optionally a notification area
// (X only) and the accessibility bus switched on, as a screen reader does. Everything is stopped
// on destruction.
class DisplaySession
{
public:
    enum Option { Tray = 0x1, Accessibility = 0x2, Wayland = 0x4 };

    explicit DisplaySession(int options = 0) : m_options(options) {}
    ~DisplaySession();

    bool start(); // false with error() set when a part is missing or does not come up
    QString error() const { return m_error; }
    // ":N" of Xvfb, or the name of weston's socket
    QString display() const { return m_display; }
    TrayHost& tray() { return m_tray; }
    const SessionBus& bus() const { return m_bus; }

    // base with XDG_RUNTIME_DIR, the session bus, and DISPLAY and QT_QPA_PLATFORM=xcb, or
    // WAYLAND_DISPLAY and QT_QPA_PLATFORM=wayland, set
    QProcessEnvironment
    environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    // An X client run on this display, e.g. xdotool or xwininfo.
    ProcessResult x(const QString& program, const QStringList& arguments) const;

private:
    bool startXvfb();
    bool startWeston();

    int m_options;
    QTemporaryDir m_runtime;
    SessionBus m_bus;
    QProcess m_server;
    TrayHost m_tray;
    QString m_display;
    QString m_error;
};

} // namespace senrokan::test
