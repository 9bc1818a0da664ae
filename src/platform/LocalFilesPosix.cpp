// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LocalFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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

QByteArray folderOf(const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
}

// Follows the user's own links at name, one hop at a time, each judged on the very link whose
// target is read: a name looked at and then followed again could meanwhile be someone else's
// link. Someone else's link is refused whatever it points at (in a sticky folder the kernel would
// not follow it for us either). Gives the name of what the links lead to, which may not exist.
std::optional<QByteArray> followOwnLinks(QByteArray name)
{
    constexpr int MaxHops = 8;
    for (int hop = 0; hop < MaxHops; ++hop) {
        const int fd = open(name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return name;
        struct stat st;
        char target[PATH_MAX];
        ssize_t length = -1;
        const bool link = fstat(fd, &st) == 0 && S_ISLNK(st.st_mode);
        if (link && st.st_uid == geteuid())
            length = readlinkat(fd, "", target, sizeof target);
        close(fd);
        if (!link)
            return name;
        if (length <= 0 || length == sizeof target)
            return std::nullopt;
        const QByteArray next(target, length);
        name = next.startsWith('/') ? next : folderOf(name) + '/' + next;
    }
    return std::nullopt;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(fd, at, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        left -= written;
    }
    return true;
}

// A new file beside name that nobody else can have made or linked: O_EXCL with O_NOFOLLOW.
int createTemporary(const QByteArray& name, mode_t mode, QByteArray& temporary)
{
    const QByteArray folder = folderOf(name);
    const QByteArray base = name.mid(name.lastIndexOf('/') + 1);
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = folder + "/." + base + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd =
            open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The rename itself reaches the disk only with its folder.
void syncFolder(const QByteArray& name)
{
    const int fd = open(folderOf(name).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

FileTrust entryTrust(const QString& path)
{
    struct stat st;
    if (lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? FileTrust::Missing : FileTrust::Refused;
    return trustOf(st);
}

FileTrust fileTrust(const QString& path)
{
    const std::optional<QByteArray> name = followOwnLinks(QFile::encodeName(path));
    if (!name)
        return FileTrust::Refused;
    struct stat st;
    if (lstat(name->constData(), &st) != 0)
        return failedLookup();
    return trustOf(st);
}

FileTrust openOwnFile(QFile& file, const QString& path)
{
    const std::optional<QByteArray> name = followOwnLinks(QFile::encodeName(path));
    if (!name)
        return FileTrust::Refused;
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait for one for ever.
    // O_NOFOLLOW: a link that took the file's place since it was followed is not opened.
    const int fd =
        open(name->constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno == ELOOP ? FileTrust::Refused : failedLookup();
    struct stat st;
    // Judged on what was opened, so nothing can be swapped in after the look.
    if (fstat(fd, &st) != 0 || trustOf(st) != FileTrust::Own ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return FileTrust::Refused;
    }
    return FileTrust::Own;
}

bool writeOwnFile(const QString& path, const QByteArray& bytes, NewFileAccess access)
{
    const std::optional<QByteArray> name = followOwnLinks(QFile::encodeName(path));
    if (!name)
        return false;
    struct stat st;
    const bool exists = lstat(name->constData(), &st) == 0;
    if (exists ? trustOf(st) != FileTrust::Own : errno != ENOENT)
        return false;
    QByteArray temporary;
    const int fd =
        createTemporary(*name, access == NewFileAccess::UserOnly ? 0600 : 0666, temporary);
    if (fd < 0)
        return false;
    // A file that holds secrets loses the group's and others' bits it was given by hand.
    const mode_t kept = access == NewFileAccess::UserOnly ? st.st_mode & 07700 : st.st_mode & 07777;
    const bool written =
        (!exists || fchmod(fd, kept) == 0) && writeAll(fd, bytes) && fsync(fd) == 0;
    // rename(2) replaces whatever is at the name, a link included, and never follows it.
    if (close(fd) != 0 || !written || rename(temporary.constData(), name->constData()) != 0) {
        unlink(temporary.constData());
        return false;
    }
    syncFolder(*name);
    return true;
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
