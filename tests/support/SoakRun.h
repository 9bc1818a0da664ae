// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QtGlobal>

#include <array>

namespace senrokan::test
{

// Resident memory and open descriptors at one point of a soak.
struct SoakSample {
    int cycle = 0;
    qint64 residentKiB = -1;
    int descriptors = -1;
};

struct SoakFigures {
    int cycles = 0;
    SoakSample first; // after the first cycle, once everything made on first use exists
    SoakSample warm;  // after a tenth of the cycles, when the allocator has settled
    SoakSample last;
    qint64 peakResidentKiB = -1;
    std::array<int, 5> statuses{}; // how often each status 0..4 was recorded
};

// Runs the timed cycle with real short timers against loopback pages that are in turn normal,
// late, failing, oversized and byte-fetched, until the given number of cycles has run.
class SoakRun
{
public:
    explicit SoakRun(int cycles) : m_cycles(cycles) {}
    SoakFigures run();

private:
    int m_cycles;
};

} // namespace senrokan::test
