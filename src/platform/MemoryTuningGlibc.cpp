// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "MemoryTuning.h"

#include <malloc.h>

namespace senrokan::platform
{

void keepLargeBuffersApart()
{
    // glibc raises its threshold for mapping a block on its own after a large block is freed;
    // later large blocks then come from the heap and leave it fragmented. A fixed threshold
    // keeps every block above it mapped, and unmapped again when freed.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

void returnFreedHeap()
{
    // Beyond the heap's end, glibc also hands back whole free pages between blocks still in use.
    malloc_trim(0);
}

} // namespace senrokan::platform
