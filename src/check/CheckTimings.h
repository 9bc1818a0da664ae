// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "base/Clock.h"

#include <QtGlobal>

namespace senrokan
{

// The times and limits of a check. The program always runs with these defaults; tests shorten
// the limits and point the port at their own loopback server.
struct CheckTimings {
    // The socket's waits end when their event comes: the connection made, the whole reply read.
    // These are the longest they last; a reply not whole by then is not judged.
    int connectWaitMs = 10000;
    int replyWaitMs = 10000;
    int arrivalPauseMs = 18;
    quint16 port = 80;
    int fetchTimeoutMs = 10000; // the HTTP client's, for a page's bytes and an HTTPS page
    int feedTimeoutMs = 10000;  // an official feed may be megabytes
    qsizetype replyCapBytes = 16 * 1024 * 1024; // a reply keeps at most this much
};

} // namespace senrokan
