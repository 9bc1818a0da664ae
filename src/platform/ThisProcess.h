// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QtGlobal>

namespace senrokan::platform
{

// Whether this process runs with the administrator's rights (root).
bool runningAsRoot();

// For a helper program: this process is killed when the process that started it ends, however
// that one ends. Where the system offers no such tie, the helper ends when its input does.
void endWithParent();

// Standard input's descriptor, to watch with a QSocketNotifier.
constexpr int StandardInput = 0;

// Reads what has come on standard input, at most size bytes, without waiting for more: the
// number of bytes read, 0 at its end, below 0 on an error.
qsizetype readStandardInput(char* into, qsizetype size);

} // namespace senrokan::platform
