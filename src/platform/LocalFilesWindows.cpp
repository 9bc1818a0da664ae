// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LocalFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace senrokan::platform
{

// Windows folders are private to their user unless shared on purpose, names are UTF-16 and
// creating links needs a privilege: a plain file is all that is asked for.

FileTrust fileTrust(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return FileTrust::Missing;
    return info.isFile() ? FileTrust::Own : FileTrust::Refused;
}

FileTrust openOwnFile(QFile& file, const QString& path)
{
    const FileTrust trust = fileTrust(path);
    if (trust != FileTrust::Own)
        return trust;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly) ? FileTrust::Own : FileTrust::Refused;
}

std::optional<QString> currentDirectory()
{
    return currentDirectoryName();
}

std::optional<QString> currentDirectoryName()
{
    const QString dir = QDir::currentPath();
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}

} // namespace senrokan::platform
