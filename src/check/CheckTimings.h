// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "base/Clock.h"

#include <QtGlobal>

namespace senrokan
{

// The fixed times and limits of a check. The program always runs with these defaults; tests
// shorten the waits and point the port at their own loopback server.
struct CheckTimings {
    int connectWaitMs = 2000;
    int replyWaitMs = 2000;
    int arrivalPauseMs = 18;
    quint16 port = 80;
    int fetchTimeoutMs = 4000;
    int feedTimeoutMs = 10000; // an official feed may be megabytes
    qsizetype replyCapBytes = 16 * 1024 * 1024; // a reply keeps at most this much
};

} // namespace senrokan
