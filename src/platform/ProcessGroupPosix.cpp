// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ProcessGroup.h"

#include <QProcess>

#include <csignal>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace senrokan::platform
{

void startInOwnGroup(QProcess& process)
{
    process.setChildProcessModifier([] {
        ::setsid();
#if defined(__linux__)
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    });
}

void killGroup(QProcess& process, long long leader)
{
    // The leader's id names the group as long as any member lives, even after the leader ended.
    if (leader > 0)
        ::kill(-pid_t(leader), SIGKILL);
    else
        process.kill();
}

} // namespace senrokan::platform
