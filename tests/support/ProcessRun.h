// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QProcess;

namespace senrokan::test
{

struct ProcessResult {
    int exitCode = -1; // -1 when it crashed, was killed or did not end in time
    QByteArray out;
    QByteArray err;
};

struct ProcessOptions {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString workingDirectory;
    int limitMs = 120000; // a guard against hanging only
    // Waits on the event loop, so that the test's own receivers answer the program meanwhile.
    bool turnEventLoop = false;
};

// Runs a program to its end; what it wrote and how it ended.
ProcessResult runProcess(const QString& program, const QStringList& arguments,
                         const ProcessOptions& options = {});

// A helper process that ends with the test, even when the test crashes.
void endsWithTest(QProcess& process);

// The first line a started helper prints (a display, a bus address) once it is there; empty when
// the helper ends or stays silent within limitMs.
QString firstLine(QProcess& process, int limitMs);

// Asks a helper to end, and makes it when it does not within limitMs.
void stopHelper(QProcess& process, int limitMs);

// Whether the process runs: it exists and is not a zombie, which has ended.
bool processRunning(const QString& pid);

// The processes still running whose environment holds the variable assignment mark (as
// "NAME=value"): a program run with it, and all it started, however far they went.
QStringList markedProcesses(const QByteArray& mark);

// Whether a library whose file name contains name is mapped into this process.
bool libraryMapped(const char* name);

} // namespace senrokan::test
