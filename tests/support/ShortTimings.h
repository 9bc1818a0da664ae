// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "check/CheckTimings.h"
#include "cycle/CheckCycle.h"

namespace senrokan::test
{

// The waits of checks against a server of the test's own: short enough for a quick run, long
// enough for a loaded machine (the program's own are 2 s). port replaces port 80.
inline CheckTimings shortCheckTimings(quint16 port)
{
    CheckTimings timings;
    timings.connectWaitMs = 150;
    timings.replyWaitMs = 700;
    timings.arrivalPauseMs = 1;
    timings.port = port;
    timings.fetchTimeoutMs = 2000;
    return timings;
}

// Ticks of a few milliseconds in place of ten seconds.
inline CycleTimings shortCycleTimings()
{
    CycleTimings timings;
    timings.tickMs = 5;
    timings.popupTickMs = 5;
    timings.chimePauseMs = 1;
    return timings;
}

} // namespace senrokan::test
