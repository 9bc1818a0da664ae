// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RouteDefinition.h"

#include <QString>
#include <array>

namespace senrokan
{

// Outcome of a route's last check. The record of checks (Senrokan.db), senrokan-check's exit
// status and --json keep these numbers, so they never change.
enum Status : int {
    StatusNone = -1,
    StatusNormal = 0,
    StatusDelayed = 1,
    StatusConnectFailed = 2,
    StatusNoServer = 3,
    StatusOutOfHours = 4,
};

// What one check concludes of a route, whatever it read (page bytes, the rendered page, an official
// feed): everything that tells of a delay takes both from it.
struct Verdict {
    int status = StatusNone;
    // Delayed: why the line is late as the page or feed says, followed by its notices, folded;
    // empty when it does not say. Otherwise empty.
    QString reason;
    // A check that could not see the line (StatusConnectFailed): what was wrong with what it
    // read, for the status field and stderr; empty otherwise.
    QString failure = {};
    // What a feed tells of the line that leaves service as it is (a lift out of order, a moved
    // stop, an operator's long-running notice), folded: shown and kept, never alarmed.
    QString notice = {};
    // Why the verdict reads as it does where that is not plain (a line its operator's answer
    // leaves out read as normal), for the status field and --verbose; empty otherwise.
    QString note = {};

    static Verdict failed(const QString& why) { return {StatusConnectFailed, {}, why}; }
};

struct RouteState {
    QString Title;
    QString CheckTime; // ISO 8601 local time (yyyy-MM-ddTHH:mm:ss), empty when no time
    int Status = StatusNone;
    // Why the line is late as its page or feed says, folded; empty when unknown.
    QString Reason = {};
    // The notices of the line's feed at the last verdict, folded; empty when none.
    QString Notice = {};
    // A check that could not see the line: why (HTTP 503, old data, …); empty otherwise.
    QString Failure = {};
};

// One record per route index; slots 0 and 6 exist but are never used.
using RouteStates = std::array<RouteState, 7>;
// Each route's last state of the line, normal or delayed (StatusNone when it has none), by route
// number 1 to 5; the changes a report tells are judged against it.
using LineStates = PerRoute<int>;

// Values shared by the whole run that the settings file and the option switches hold.
struct SettingsValues {
    int CheckIntervalMinutes = 30;
    int ResidentFlag = 0;
    int MelodyFlag = 0;
    int CheckOnResidentFlag = 0;
};

} // namespace senrokan
