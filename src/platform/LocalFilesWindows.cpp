// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LocalFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

FileTrust entryTrust(const QString& path)
{
    return fileTrust(path);
}

bool writeOwnFile(const QString& path, const QByteArray& bytes, NewFileAccess access)
{
    if (fileTrust(path) == FileTrust::Refused)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (access == NewFileAccess::UserOnly)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // QSaveFile buffers: a write that fails only in the final flush would still be committed
    // over the old file, so flush first and let the temporary file go when it fails.
    return file.write(bytes) == bytes.size() && file.flush() && file.commit();
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
