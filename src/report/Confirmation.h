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

// One verdict of a route's line as the confirmation counts it: its status, and whether the
// route's telling rules let it be told (see verdictTelling).
struct LineVerdict {
    LineVerdict(int status, bool tells = true) : status(status), tells(tells) {}

    int status;
    bool tells;
};

// The confirmation of a check that found current. earlier: the route's normal and delayed
// verdicts before it, oldest first, as the record of checks has them (at least its last run of
// delayed ones). Every other status neither counts nor breaks a run. A delayed verdict is confirmed
// once it makes the run of delayed verdicts confirm long; the delay is told by the first confirmed
// verdict of the run that tells, and the recovery by a normal verdict that tells and ends a run in
// which a delay was told. With confirm 1 and every verdict told this is routeChange.
Confirmation confirmation(const QList<LineVerdict>& earlier, LineVerdict current, int confirm);

} // namespace senrokan
