// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>

namespace senrokan
{

// The verdict of a GTFS-Realtime feed's service alerts on the route whose route_id is route, or
// none when body is no FeedMessage. An alert concerns the route when one of its selectors names
// it, directly or through a trip; it is in force when it has no active period or now lies in one
// (start included, end not, either may be open). It tells a delay when its effect says service
// is lost, cut, late or changed; a notice when its effect leaves service as it is (a moved stop,
// accessibility, no effect, added service); otherwise (another or unknown effect, or none) by its
// severity where set, else by whether its header names a delay. Deleted entities count for
// nothing. A reason or notice is each alert's effect in Japanese (お知らせ for a notice that
// names none), then its header, followed by its description when that adds something. A feed made
// (its header's timestamp) more than an hour before now fails, as does one with an entity beyond
// the bounds below, which is never read whole.
std::optional<Verdict> decideGtfsRealtime(const QByteArray& body, const QString& route,
                                          const QDateTime& now);

// An entity is read on its own, so memory follows the largest entity, not the feed; these bounds
// lie far beyond any agency's alert and keep that small.
constexpr int MaxEntityBytes = 512 * 1024;
constexpr int MaxAlertSelectors = 10000;
constexpr int MaxAlertPeriods = 1000;
constexpr int MaxTranslations = 100; // of one text

} // namespace senrokan
