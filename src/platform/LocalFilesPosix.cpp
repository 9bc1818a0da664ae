// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LocalFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace senrokan::platform
{

namespace
{

FileTrust trustOf(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_uid == geteuid() ? FileTrust::Own : FileTrust::Refused;
}

FileTrust failedLookup()
{
    return errno == ENOENT || errno == ENOTDIR ? FileTrust::Missing : FileTrust::Refused;
}

// Someone else's link is refused whatever it points at: in a sticky folder the kernel itself
// would not follow it for us, and a save must not write through it.
bool foreignLink(const QByteArray& name)
{
    struct stat st;
    return lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode) && st.st_uid != geteuid();
}

} // namespace

FileTrust fileTrust(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (foreignLink(name))
        return FileTrust::Refused;
    struct stat st;
    if (stat(name.constData(), &st) != 0)
        return failedLookup();
    return trustOf(st);
}

FileTrust openOwnFile(QFile& file, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (foreignLink(name))
        return FileTrust::Refused;
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait for one for ever.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failedLookup();
    struct stat st;
    // Judged on what was opened, so nothing can be swapped in after the look.
    if (fstat(fd, &st) != 0 || trustOf(st) != FileTrust::Own ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return FileTrust::Refused;
    }
    return FileTrust::Own;
}

std::optional<QString> currentDirectoryName()
{
    const QString dir = QDir::currentPath();
    char bytes[PATH_MAX];
    if (dir.isEmpty() || !getcwd(bytes, sizeof bytes) ||
        QFile::encodeName(dir) != QByteArray(bytes))
        return std::nullopt;
    return dir;
}

std::optional<QString> currentDirectory()
{
    if (QDir::currentPath().isEmpty())
        return std::nullopt;
    if (const std::optional<QString> name = currentDirectoryName())
        return name;
    // Qt makes every path absolute through the decoded name before it writes (a save goes
    // through a temporary file beside the target), so "." would serve reading only.
    const QString procLink = QStringLiteral("/proc/self/cwd");
    return QFileInfo::exists(procLink) ? procLink : QStringLiteral(".");
}

} // namespace senrokan::platform
