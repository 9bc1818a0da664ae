// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "CycleDisplay.h"
#include "route/RouteState.h"

namespace senrokan
{

// The popup's text: one line per delayed route, in route order, each the route's title, an
// ideographic space and CR LF, and under it the reason line when the reason is known. Empty when
// no route is delayed.
QString delayReportText(const RouteStates& states);

// The desktop notification's lines: each delayed route's title, with its reason when known, in
// route order.
QStringList delayNotice(const RouteStates& states);

// The icon the routes' statuses call for: delay when any route is delayed, else error when any
// failed to connect, else normal.
TrayPicture trayPictureFor(const RouteStates& states);

} // namespace senrokan
