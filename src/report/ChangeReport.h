// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace senrokan
{

enum class RouteChange { None, Delayed, Recovered };

// Whether a check that found status current reports, compared with previous, the route's last
// state that was normal or delayed (StatusNone when it never was either). A failed connection,
// no server and outside hours are no state of the line: they neither report nor replace previous.
RouteChange routeChange(int previous, int current);

// Each route's change, by route number 1 to 5; [0] and [6] unused.
using RouteChanges = PerRoute<RouteChange>;
// Each route's change judged against previous by routeChange.
RouteChanges routeChanges(const LineStates& previous, const RouteStates& states);

// Normal and delayed tell the line's state; the other outcomes tell only the check's.
bool isLineState(int status);

// What one check has to say to every target.
struct ChangeReport {
    QString title;        // "運行情報"
    QString message;      // a line per changed route (a delay with its reason), then the time
    bool delayed = false; // some route went to delayed: the scheme's "warning", else "success"
    QString pageUrl;      // the first delayed route's page, for the services that open one
};

// The report of one check's changes: none when no route changed. changes[r] is what route r's
// check tells; pages[r] the address of its page.
std::optional<ChangeReport> changeReport(const RouteStates& states, const RouteChanges& changes,
                                         const PerRoute<QString>& pages,
                                         const QDateTime& checkTime);
// The same, each route's change judged against previous[r], its last line state before this
// check (see routeChange).
std::optional<ChangeReport> changeReport(const RouteStates& states, const LineStates& previous,
                                         const PerRoute<QString>& pages,
                                         const QDateTime& checkTime);

// A test report, as "テスト送信" sends it.
ChangeReport testReport(const QDateTime& time);

} // namespace senrokan
