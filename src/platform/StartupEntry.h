// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

namespace senrokan::platform
{

// The entry that has the system start the program when the user logs in: a freedesktop
// autostart file on Linux, a shortcut in the Startup folder on Windows. Each function throws
// senrokan::Failure when it cannot do its job.

// Where the entry is, whether or not it exists.
QString startupEntryPath();

// Creates the entry, or replaces the one there, so that executable starts in workingDirectory.
// Throws CannotWrite when the entry cannot be written, InvalidArgument for a path the entry
// cannot express.
void addStartupEntry(const QString& executable, const QString& workingDirectory);

// Deletes the entry. Throws FileNotFound when there is none, CannotDelete when it stays.
void removeStartupEntry();

} // namespace senrokan::platform
