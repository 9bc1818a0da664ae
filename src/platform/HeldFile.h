// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "LocalFiles.h"

#include <QString>

namespace senrokan::platform
{

// A file that another program (the database engine) opens by its name, beside files of the
// same stem it makes itself, in a folder other users may write to. The name is opened here first,
// never through a link and created readable by the user only, and judged on what was opened;
// held open, that file can then be compared with what the name leads to later.
//
// The descriptor must outlive every other opening of the file in this process: closing any
// descriptor of a file drops the process's POSIX locks on it, those of the database engine too.
class HeldFile
{
public:
    // Opens path for reading and writing, creating it when missing.
    explicit HeldFile(const QString& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // Own when the user's own regular file is held; Refused for a link, someone else's file or
    // anything but a regular file; Missing when it could not be opened or made (no such folder,
    // a folder that cannot be written).
    FileTrust trust() const { return m_trust; }
    // Whether path, not followed if it is a link, is the held file.
    bool isAt(const QString& path) const;

private:
    FileTrust m_trust = FileTrust::Missing;
    int m_fd = -1;
};


} // namespace senrokan::platform
