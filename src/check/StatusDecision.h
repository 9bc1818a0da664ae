// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteDefinition.h"
#include "route/RouteState.h"

#include <QTime>

namespace senrokan
{

// How a page's text reads: its source (markup), a JSON reply (searched with its string escapes
// decoded), or the text as the browser shows it.
enum class PageForm { Source, Json, Shown };

// The verdict on a page that was obtained: StatusOutOfHours when both valid-hours fields are set
// and now lies outside them; otherwise StatusNormal when MatchWord occurs (within the section
// from SubtitleStart to SubtitleEnd when SubtitleStart is set), else StatusDelayed. A
// SubtitleEnd missing after the start is a delay; a SubtitleStart missing from the page is
// StatusConnectFailed, with a reason naming the marker.
// A delay found with both markers on the page has a reason: the text between them (tags dropped
// from a source), blanks folded; any other delay, and a normal verdict, has none.
Verdict decideStatus(const RouteDefinition& route, const QString& pageText, QTime now,
                     PageForm form = PageForm::Source);

// Whether now lies outside the route's valid hours: never when none are set or they cannot be
// read, so such a route is watched all day.
bool outOfHours(const RouteDefinition& route, QTime now);

// Which valid-hours field cannot be read as a time, quoting it, and what is done instead; empty
// when both read or the hours are not set.
QString validHoursProblem(const RouteDefinition& route);

} // namespace senrokan
