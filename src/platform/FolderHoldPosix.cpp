// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "FolderHold.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace senrokan::platform
{

FolderHold::FolderHold(const QString& folder) : m_folder(folder) {}

FolderHold::~FolderHold()
{
    if (m_fd >= 0)
        close(m_fd);
}

FolderHold::Outcome FolderHold::tryHold()
{
    if (m_fd >= 0)
        return Outcome::Held;
    // Closed on exec: a helper the program starts must not keep the folder after it. A link to
    // the folder leads to the folder, so every spelling of it meets.
    const int fd =
        open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Outcome::Unheld;
    // The open file's own lock, not a process's: a second hold in this process is refused too.
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_fd = fd;
        return Outcome::Held;
    }
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return held ? Outcome::HeldElsewhere : Outcome::Unheld;
}

} // namespace senrokan::platform
