// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "HeldFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace senrokan::platform
{

namespace
{

bool ownRegular(const struct stat& st)
{
    return S_ISREG(st.st_mode) && st.st_uid == geteuid();
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

HeldFile::HeldFile(const QString& path)
{
    // O_NOFOLLOW: a link is refused, not written through; O_NONBLOCK: a FIFO does not hang us.
    m_fd = open(QFile::encodeName(path).constData(),
                O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        // Something there that cannot be opened as ours (a link, a folder, another user's file)
        // is refused; nothing there and no way to make it is a file that is missing.
        m_trust = entryTrust(path) == FileTrust::Missing ? FileTrust::Missing : FileTrust::Refused;
        return;
    }
    struct stat st;
    m_trust = fstat(m_fd, &st) == 0 && ownRegular(st) ? FileTrust::Own : FileTrust::Refused;
}

HeldFile::~HeldFile()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool HeldFile::isAt(const QString& path) const
{
    struct stat held;
    struct stat named;
    return m_trust == FileTrust::Own && fstat(m_fd, &held) == 0 &&
           lstat(QFile::encodeName(path).constData(), &named) == 0 && S_ISREG(named.st_mode) &&
           sameFile(held, named);
}

} // namespace senrokan::platform
