// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ProcessRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

namespace senrokan::test
{

ProcessResult runProcess(const QString& program, const QStringList& arguments,
                         const ProcessOptions& options)
{
    QProcess process;
    process.setProcessEnvironment(options.environment);
    process.setWorkingDirectory(options.workingDirectory);
    process.start(program, arguments);
    ProcessResult result;
    const bool ended =
        options.turnEventLoop
            ? QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; },
                              options.limitMs) &&
                  process.error() != QProcess::FailedToStart
            : process.waitForFinished(options.limitMs);
    if (!ended) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void endsWithTest(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

QString firstLine(QProcess& process, int limitMs)
{
    while (process.state() != QProcess::NotRunning && !process.canReadLine())
        if (!process.waitForReadyRead(limitMs))
            break;
    return QString::fromUtf8(process.readLine().trimmed());
}

void stopHelper(QProcess& process, int limitMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(limitMs))
        process.kill();
    process.waitForFinished();
}

bool processRunning(const QString& pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid.toInt() <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    // The state follows the name in parentheses, which may itself hold spaces.
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) != "Z";
}

QStringList markedProcesses(const QByteArray& mark)
{
    QStringList marked;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
        if (environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(mark) &&
            processRunning(pid))
            marked << pid;
    }
    return marked;
}

bool libraryMapped(const char* name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    return maps.readAll().contains(name);
}

} // namespace senrokan::test
