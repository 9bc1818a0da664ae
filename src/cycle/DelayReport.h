// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "CycleDisplay.h"
#include "Telling.h"
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
QList<PopupEntry> popupEntries(const RouteStates& states, const PerRoute<QString>& pages);

// The desktop notification's lines: each delayed route's title, with its reason when known, in
// route order.
QStringList delayNotice(const RouteStates& states);

// The desktop notification's lines when the lines of the delay notice run normally again: each
// such route's title and that it recovered, in route order; empty when none did.
QStringList recoveryNotice(const RouteStates& states, const PerRoute<bool>& noticed);

// The icon's tip: one line per watched route (one with a title, and a server or a feed: not
// サーバ未設定), its title, its state's word (a delay's with the most minutes its reason states,
// 遅延 最大30分), 今日は知らせない for a line kept quiet, the time of its check, and the first
// words of a delay's reason or of a normal line's notices; empty when no route is watched.
QString trayToolTip(const RouteStates& states, const RoundTelling& telling = {});

// The icon the routes' statuses call for: delay when any route is delayed, else error when any
// failed to connect, else normal.
TrayPicture trayPictureFor(const RouteStates& states);

} // namespace senrokan
