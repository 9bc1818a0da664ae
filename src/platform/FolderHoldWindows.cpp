// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "FolderHold.h"

namespace senrokan::platform
{

FolderHold::FolderHold(const QString& folder) : m_folder(folder) {}

FolderHold::~FolderHold() = default;

FolderHold::Outcome FolderHold::tryHold()
{
    // A folder opened to be held here would be shut to everyone else, Explorer too: the lock in
    // the user's runtime folder is the one guard.
    return Outcome::Unheld;
}

} // namespace senrokan::platform
