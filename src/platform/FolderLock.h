// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "FolderHold.h"

#include <QLockFile>
#include <QString>

namespace senrokan::platform
{

// The lock that says a program has a settings folder in hand: the desktop program holds it for
// as long as it runs (it writes Senrokan.DEF at its end), and whatever else changes the folder's
// files holds it while it does. Its name is a hash of the folder's canonical path and the user's
// home, so every spelling of one folder meets and other users never do; it lives in the user's
// private runtime folder, where no other user can plant it first. Both follow the environment
// ($HOME, $XDG_RUNTIME_DIR), which su, cron or a terminal multiplexer may set otherwise: the folder
// is held itself too (FolderHold), and found held whatever the environment says.
class FolderLock
{
public:
    enum class Outcome {
        Held,          // held here now
        HeldElsewhere, // a live process holds it
        Unguarded,     // no lock can be made (no private runtime folder, one that cannot be
                       // written): nothing guards the folder
        Foreign,       // the lock belongs to another user: nothing guards the folder
    };

    explicit FolderLock(const QString& folder);

    // Takes the lock when it is free, or held by a process that has died; never waits.
    Outcome tryHold();
    const QString& key() const { return m_key; }

    // The folder's name for its lock, short enough for a socket path beside it.
    static QString key(const QString& folder);
    // name in the user's private runtime folder; empty when there is none.
    static QString inRuntimeFolder(const QString& name);
    static QString lockPath(const QString& key);

private:
    Outcome lockInRuntimeFolder();

    QString m_key;
    QLockFile m_lock;
    FolderHold m_hold;
};

} // namespace senrokan::platform
