// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "CycleDisplay.h"
#include "route/RouteState.h"

#include <QList>

namespace senrokan
{

// A delayed route as the popup shows it.
struct PopupEntry {
    int route = 0;
    QString title;
    QString checkTime; // as shown: "18:05"; empty when unknown
    QString reason;    // with its line breaks; empty when unknown
    bool hasPage = false;
};

// The delayed routes, in route order; pages[r] the address of route r's page, empty for none.
QList<PopupEntry> popupEntries(const RouteStates& states, const std::array<QString, 7>& pages);

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
