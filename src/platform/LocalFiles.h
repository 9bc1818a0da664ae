// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

#include <optional>

class QFile;

namespace senrokan::platform
{

// The program's files live in whatever folder it was started in, which may be one that other
// users can write to (a shared folder, the temporary folder). A link or a FIFO planted there
// must neither redirect a save nor hang a read.

enum class FileTrust {
    Missing, // nothing there (a link of the user's own to nothing counts as nothing)
    Own,     // a regular file of the user's, directly or through a link of the user's own
    Refused, // anything else: a link or a file owned by someone else, a FIFO, a device, a folder
};

// What is at path. Never blocks.
FileTrust fileTrust(const QString& path);

// What is at path itself, a link not followed: Missing, the user's own regular file, or Refused
// (any link, someone else's file, anything but a regular file). Never blocks.
FileTrust entryTrust(const QString& path);

// Opens path for reading when it is the user's own regular file; file is left closed otherwise.
// Never blocks, not even on a FIFO. What was opened is what is judged.
FileTrust openOwnFile(QFile& file, const QString& path);

enum class NewFileAccess {
    AsUmask,  // a file anyone may read unless the user's umask says otherwise
    UserOnly, // a file that holds secrets or a record of the user's
};

// Replaces the file at path with bytes, or creates it: a temporary file in the same folder is
// written, synced and renamed onto the name, so a failed write leaves the old file whole and a
// link put there meanwhile is replaced, never written through. A link of the user's own is
// followed and the file it leads to replaced the same way. An existing file keeps its
// permissions, but for the group's and others' bits of a UserOnly file, which are cleared. False, with nothing changed, when path is refused or the write fails.
bool writeOwnFile(const QString& path, const QByteArray& bytes,
                  NewFileAccess access = NewFileAccess::AsUmask);

// The current directory as the start of the program's paths: its full name, or another path to
// it when its name is not valid text in the system's file-name encoding (decoded, the name would
// be a folder that does not exist); none when it has been removed.
// Joins a directory and a file name: the name is always taken relative to the directory, even a
// full path; a directory that already ends with a separator gets no second one.
inline QString joinToDirectory(const QString& dir, const QString& name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

std::optional<QString> currentDirectory();

// The current directory's full name; none when it has been removed or its name is not valid text.
std::optional<QString> currentDirectoryName();

} // namespace senrokan::platform
