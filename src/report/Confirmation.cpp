// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Confirmation.h"

#include <algorithm>

namespace senrokan
{

Confirmation confirmation(const QList<LineVerdict>& earlier, LineVerdict current, int confirm)
{
    const int needed = std::clamp(confirm, MinConfirm, MaxConfirm);
    // The delayed verdicts at the end of earlier, and whether any of them told the delay.
    int run = 0;
    bool toldBefore = false;
    for (auto it = earlier.rbegin(); it != earlier.rend() && it->status == StatusDelayed; ++it)
        ++run;
    for (int i = int(earlier.size()) - run + needed - 1; i < earlier.size(); ++i)
        toldBefore = toldBefore || earlier[i].tells;
    Confirmation result;
    if (current.status == StatusDelayed) {
        result.confirmed = run + 1 >= needed;
        if (result.confirmed && current.tells && !toldBefore)
            result.change = RouteChange::Delayed;
    } else if (current.status == StatusNormal && current.tells && toldBefore) {
        result.change = RouteChange::Recovered;
    }
    return result;
}

} // namespace senrokan
