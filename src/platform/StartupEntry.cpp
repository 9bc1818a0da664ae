// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StartupEntry.h"

#include "base/Failure.h"

#include <QFile>
#include <QFileInfo>

namespace senrokan::platform
{

void removeStartupEntry()
{
    const QString path = startupEntryPath();
    const QFileInfo entry(path);
    // A link whose target has gone is still an entry, and still to be deleted.
    if (!entry.exists() && !entry.isSymLink())
        throw Failure(FailureKind::FileNotFound);
    if (!QFile::remove(path))
        throw Failure(FailureKind::CannotDelete);
}

} // namespace senrokan::platform
