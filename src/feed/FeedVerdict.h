// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QString>

namespace senrokan
{

// What an official status feed says of one line.
struct FeedVerdict {
    Status status = StatusConnectFailed; // StatusNormal, StatusDelayed or StatusConnectFailed
    // Delayed: why, as the feed says, folded to show (empty when it says nothing). Failed: a
    // short Japanese text of what was wrong, for the status field and stderr. Normal: empty.
    QString reason;
};

} // namespace senrokan
