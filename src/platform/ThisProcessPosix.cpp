// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ThisProcess.h"

#include <unistd.h>
#if defined(__linux__)
#include <csignal>
#include <sys/prctl.h>
#endif

namespace senrokan::platform
{

static_assert(StandardInput == STDIN_FILENO);

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

void endWithParent()
{
#if defined(__linux__)
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
}

qsizetype readStandardInput(char* into, qsizetype size)
{
    return ::read(STDIN_FILENO, into, size_t(size));
}

} // namespace senrokan::platform
