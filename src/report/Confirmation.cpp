// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Confirmation.h"

#include <algorithm>

namespace senrokan
{

namespace
{

// The delayed verdicts at the end of earlier.
int delayedRun(const QList<int>& earlier)
{
    const auto last = std::find_if(earlier.rbegin(), earlier.rend(),
                                   [](int status) { return status != StatusDelayed; });
    return int(last - earlier.rbegin());
}

} // namespace

Confirmation confirmation(const QList<int>& earlier, int current, int confirm)
{
    const int needed = std::clamp(confirm, MinConfirm, MaxConfirm);
    const int run = delayedRun(earlier);
    Confirmation result;
    if (current == StatusDelayed) {
        result.confirmed = run + 1 >= needed;
        if (run + 1 == needed)
            result.change = RouteChange::Delayed;
    } else if (current == StatusNormal && run >= needed) {
        result.change = RouteChange::Recovered;
    }
    return result;
}

} // namespace senrokan
