// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QtGlobal>

namespace senrokan::test
{

// Figures of this process from /proc, -1 when they cannot be read.
qint64 residentKiB();     // VmRSS
qint64 peakResidentKiB(); // VmHWM
int openDescriptors();    // entries of /proc/self/fd

} // namespace senrokan::test
