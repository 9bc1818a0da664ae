// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "CycleDisplay.h"
#include "route/RouteState.h"

namespace senrokan
{

// The popup's text: one line per delayed route, in route order, each the route's title, an
// ideographic space and CR LF. Empty when no route is delayed.
QString delayReportText(const RouteStates& states);

// The titles of the delayed routes, in route order.
QStringList delayedTitles(const RouteStates& states);

// The icon the routes' statuses call for: delay when any route is delayed, else error when any
// failed to connect, else normal.
TrayPicture trayPictureFor(const RouteStates& states);

} // namespace senrokan
