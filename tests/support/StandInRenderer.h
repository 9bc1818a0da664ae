// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// A stand-in for the page-reading helper: a shell script that speaks its protocol, for what the
// real engine cannot be made to do on demand (hang whole, crash, refuse to run). The script
// writes its own process id and those of the processes it starts to the file "pids" beside it.
#include "ProcessRun.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace senrokan::test
{

inline QString writeStandInRenderer(const QTemporaryDir& dir, const QByteArray& body)
{
    const QString path = dir.filePath(QStringLiteral("senrokan-render"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write("#!/bin/sh\necho $$ >> '" + dir.filePath(QStringLiteral("pids")).toUtf8() + "'\n" +
                 body + '\n');
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// The processes the stand-in wrote down that still run.
inline QStringList runningStandIns(const QTemporaryDir& dir)
{
    QFile pids(dir.filePath(QStringLiteral("pids")));
    QStringList running;
    if (pids.open(QIODevice::ReadOnly))
        for (const QByteArray& pid : pids.readAll().split('\n'))
            if (processRunning(QString::fromLatin1(pid.trimmed())))
                running << QString::fromLatin1(pid.trimmed());
    return running;
}

} // namespace senrokan::test
