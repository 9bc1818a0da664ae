// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ChangeReport.h"

#include <QList>

namespace senrokan
{

inline constexpr int MinConfirm = 1;
inline constexpr int MaxConfirm = 10;

// What a check tells of one route once a delay must be read confirm times in a row.
struct Confirmation {
    RouteChange change = RouteChange::None; // told now: a confirmed delay, or the recovery
    bool confirmed = false; // delayed, and read so the last confirm times: shown as delayed
};

// The confirmation of a check that found status current. earlier: the route's normal and delayed
// verdicts before it, oldest first, as the record of checks has them (at least the last
// confirm). Every other status neither counts nor breaks a run. A delay is told when current
// makes the run of delayed verdicts exactly confirm long; the recovery when a normal verdict ends
// a run that long or longer, which had been told. With confirm 1 this is routeChange.
Confirmation confirmation(const QList<int>& earlier, int current, int confirm);

} // namespace senrokan
