// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteDefinition.h"
#include "route/RouteState.h"

#include <QTime>

namespace senrokan
{

// The verdict on a page that was obtained: StatusOutOfHours when both valid-hours fields are set
// and now lies outside them; otherwise StatusNormal when MatchWord occurs (within the section
// from SubtitleStart to SubtitleEnd when SubtitleStart is set), else StatusDelayed.
// An unreadable time or a SubtitleStart missing from the page throws Failure. The text of a JSON
// reply is searched with its string escapes decoded.
// Whether now lies outside the route's valid hours (none set: never).
bool outOfHours(const RouteDefinition& route, QTime now);

Status decideStatus(const RouteDefinition& route, const QString& pageText, QTime now,
                    bool jsonReply = false);

} // namespace senrokan
