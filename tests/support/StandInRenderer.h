// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// A stand-in for the page-reading helper: a shell script that speaks its protocol, for what the
// real engine cannot be made to do on demand (hang whole, crash, refuse to run). The script
// writes its own process id and those of the processes it starts to the file "pids" beside it.
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
    script.write("#!/bin/sh\necho $$ >> '" + dir.filePath(QStringLiteral("pids")).toUtf8() +
                 "'\n" + body + '\n');
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// The processes the stand-in wrote down that still run (a zombie has ended).
inline QStringList runningStandIns(const QTemporaryDir& dir)
{
    QFile pids(dir.filePath(QStringLiteral("pids")));
    QStringList running;
    if (!pids.open(QIODevice::ReadOnly))
        return running;
    for (const QByteArray& pid : pids.readAll().split('\n')) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid.trimmed())));
        if (pid.trimmed().isEmpty() || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray fields = stat.readAll();
        // The state follows the name in parentheses, which may itself hold spaces.
        if (fields.mid(fields.lastIndexOf(')') + 2, 1) != "Z")
            running << QString::fromLatin1(pid.trimmed());
    }
    return running;
}

} // namespace senrokan::test
