// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StartupEntry.h"

#include "base/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace senrokan::platform
{

QString startupEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation) +
           QLatin1String("/Startup/Senrokan.lnk");
}

void addStartupEntry(const QString& executable, const QString& workingDirectory)
{
    // QFile::link cannot set a shortcut's working folder (Qt gives it the executable's own), so
    // here the program starts in its own folder rather than in workingDirectory.
    Q_UNUSED(workingDirectory);
    const QString path = startupEntryPath();
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw Failure(FailureKind::CannotWrite);
    // QFile::link never replaces an existing shortcut; registering again makes it anew.
    const QFileInfo old(path);
    if ((old.exists() || old.isSymLink()) && !QFile::remove(path))
        throw Failure(FailureKind::CannotWrite);
    if (!QFile::link(executable, path))
        throw Failure(FailureKind::CannotWrite);
}

} // namespace senrokan::platform
