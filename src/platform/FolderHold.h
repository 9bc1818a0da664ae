// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

namespace senrokan::platform
{

// A hold on a folder itself rather than on a file named after it, so that whoever asks meets it,
// whatever $HOME or $XDG_RUNTIME_DIR they run with: two holds of one folder never stand at once,
// in one process or in two, and a hold ends with the process that has it. Nothing is written into
// the folder. Another user who may read the folder can hold it too; it then reads as held.
class FolderHold
{
public:
    enum class Outcome {
        Held,          // held here now
        HeldElsewhere, // held by another
        Unheld,        // the folder or the system takes no hold (gone, unreadable, Windows)
    };

    explicit FolderHold(const QString& folder);
    ~FolderHold();
    FolderHold(const FolderHold&) = delete;
    FolderHold& operator=(const FolderHold&) = delete;

    // Takes the hold when it is free; never waits.
    Outcome tryHold();

private:
    QString m_folder;
    int m_fd = -1;
};

} // namespace senrokan::platform
