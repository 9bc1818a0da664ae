// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ProcessGroup.h"

#include <QProcess>

namespace senrokan::platform
{

// Windows has no process groups to kill; the engine there ends its own children with its
// browser process.
void startInOwnGroup(QProcess&) {}

void killGroup(QProcess& process, long long)
{
    process.kill();
}

} // namespace senrokan::platform
