// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StartupEntry.h"

#include "DesktopEntry.h"
#include "LocalFiles.h"
#include "base/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace senrokan::platform
{

namespace
{

// The user's configuration folder by the XDG base directory rules: $XDG_CONFIG_HOME when it is
// an absolute path, else ~/.config.
QString configHome()
{
    const QString configured = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QLatin1String("/.config");
}

} // namespace

QString startupEntryPath()
{
    return configHome() + QLatin1String("/autostart/Senrokan.desktop");
}

void addStartupEntry(const QString& executable, const QString& workingDirectory)
{
    // Made first: a path the entry cannot express leaves the disk untouched.
    const QByteArray bytes = autostartEntryText(executable, workingDirectory).toUtf8();
    const QString path = startupEntryPath();
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw Failure(FailureKind::CannotWrite);
    if (!writeOwnFile(path, bytes))
        throw Failure(FailureKind::CannotWrite);
}

} // namespace senrokan::platform
