// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ThisProcess.h"

#include <io.h>

namespace senrokan::platform
{

// Windows asks for elevation per action; a program is never started as root.
bool runningAsRoot()
{
    return false;
}

void endWithParent() {}

qsizetype readStandardInput(char* into, qsizetype size)
{
    return ::_read(StandardInput, into, unsigned(size));
}

} // namespace senrokan::platform
