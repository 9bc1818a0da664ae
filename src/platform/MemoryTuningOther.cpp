// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "MemoryTuning.h"

namespace senrokan::platform
{

void keepLargeBuffersApart()
{
    // Other C libraries give large blocks back by themselves.
}

void returnFreedHeap()
{
    // Left to the C library.
}

} // namespace senrokan::platform
