// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RouteDefinition.h"

#include <QDateTime>
#include <QString>

#include <array>

namespace senrokan
{

// What "Senrokan.ini" says of a route beyond the fields the settings file keeps; railway files
// do not carry it.
struct RouteOptions {
    bool render = false; // read as the browser shows it ("ブラウザで読む")
    QString feed;        // an official status feed read instead of the page; empty when none
    QString feedLine;    // the line's id in that feed
    QString days;        // the days of the week watched, as 月火水木金土日; empty: every day
    bool holidays = true; // watched on Japan's national holidays too
    int confirm = 1;      // delayed verdicts in a row before a delay is told, 1 to 10
    // The bands of the day the route is checked in, as written ("07:00-09:30,17:30-19:30");
    // empty: all day, or its valid-hours fields. Kept as written, so that a value that cannot be
    // read shows as it is where it is mended.
    QString hours;
    // What is told of it (popup, chime, notification, report); the route is checked, recorded
    // and shown whatever these say.
    bool suspensionsOnly = false; // Tell=suspension: only a suspension, not a mere delay
    int minDelay = 0; // a delay stating fewer minutes than this is not told; 0: every delay
    // Nothing told of the line before this local time; invalid: no such pause. Set by
    // 今日は知らせない and saved on its own, never with the other options, so that an options box
    // opened before it cannot take it back.
    QDateTime quietUntil;
    // The port field as typed, kept here because the settings file has no line for it; a check
    // reads the field itself.
    QString port = DefaultPortText;
    // The consumer key the feed's request carries when it has none of its own: [ODPT]
    // ConsumerKey= for a feed of that API, else empty. Never saved with the route.
    QString feedKey;

    bool operator==(const RouteOptions&) const = default;
};

using RouteOptionsTable = PerRoute<RouteOptions>;

} // namespace senrokan
