// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// The built senrokan as a child process on a test's display, for the suites that name it and
// xdotool (SENROKAN_EXE, XDOTOOL_EXE).
#include "DisplaySession.h"

#include <QHash>
#include <QTest>

namespace senrokan::test
{

// The program started in folder with the display's environment and the variables given; killed
// on destruction should it still run.
class ProgramRun
{
public:
    static constexpr int LimitMs = 60000; // a guard against hanging only

    ProgramRun(const DisplaySession& display, const QString& folder,
               const QHash<QString, QString>& variables = {})
        : m_display(display)
    {
        QProcessEnvironment environment = display.environment();
        for (auto it = variables.begin(); it != variables.end(); ++it)
            environment.insert(it.key(), it.value());
        m_process.setWorkingDirectory(folder);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral(SENROKAN_EXE), {});
        m_process.waitForStarted(LimitMs);
    }
    ~ProgramRun() { kill(); }

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    void kill()
    {
        if (running()) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Its windows on screen (X only): its main window, or with mainOnly false any of them.
    QList<quint32> shownWindows(bool mainOnly = true) const
    {
        QStringList arguments{"search", "--all", "--onlyvisible", "--pid",
                              QString::number(m_process.processId())};
        if (mainOnly)
            arguments << "--name" << QStringLiteral("^Senrokan  Ver\\.1\\.20$");
        QList<quint32> windows;
        for (const QByteArray& line :
             m_display.x(QStringLiteral(XDOTOOL_EXE), arguments).out.split('\n'))
            if (!line.isEmpty())
                windows.append(line.toUInt());
        return windows;
    }

    // The first of those windows once one is on screen; 0 when none comes while it runs.
    quint32 waitShown(bool mainOnly = true) const
    {
        QList<quint32> windows;
        return QTest::qWaitFor(
                   [&] { return !running() || !(windows = shownWindows(mainOnly)).isEmpty(); },
                   LimitMs)
                   ? windows.value(0)
                   : 0;
    }

    // Its exit code once it ends by itself, -1 when it crashed or still runs after limitMs. The
    // event loop runs meanwhile, so services of the test's own answer its last calls.
    int ended(int limitMs = LimitMs)
    {
        if (!QTest::qWaitFor([this] { return !running(); }, limitMs))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    const DisplaySession& m_display;
    QProcess m_process;
};

} // namespace senrokan::test
