// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

namespace senrokan::platform
{

// Keeps the large buffers a check makes (a reply of up to 16 MiB, its text) out of the general
// heap, so that a program that checks for months gives their memory back after each check
// instead of growing by fragmentation. Call once at start.
void keepLargeBuffersApart();

// Gives the free pages inside the heap back to the system. A big feed decodes into tens of
// thousands of small blocks; freed, they would stay with the idle program for as long as it runs.
void returnFreedHeap();

} // namespace senrokan::platform
