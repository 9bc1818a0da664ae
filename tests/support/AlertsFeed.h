// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// GTFS-Realtime service-alert feeds as an agency publishes them, written with the program's own
// message classes, for the rule's table, the checks against feeds on loopback and the bench.
#include "feed/GtfsRealtime.pb.h"
#include "feed/GtfsRealtimeAlerts.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace senrokan::test
{

struct FeedTranslation {
    QString text;
    std::optional<QString> language; // none: the translation carries no language
};

struct FeedPeriod {
    std::optional<qint64> start; // POSIX seconds; none: open
    std::optional<qint64> end;
};

struct FeedAlert {
    QString routeId;     // the selector's route_id; empty: the selector has none
    QString tripRouteId; // a second selector naming a trip of this route; empty: none
    std::optional<gtfsrt::Alert::Effect> effect; // none: unset
    QList<FeedPeriod> periods;
    QList<FeedTranslation> header;
    QList<FeedTranslation> description;
    bool deleted = false;
    std::optional<gtfsrt::Alert::SeverityLevel> severity = {}; // none: unset
};

// A whole feed (a FULL_DATASET FeedMessage) of these alerts, one entity each, made at made (POSIX
// seconds).
QByteArray alertsFeed(const QList<FeedAlert>& alerts, qint64 made);

// A big agency's feed: 20 000 alerts spread over the routes "route-0" to "route-199", each with a
// period, Japanese and English texts; a tenth of them in force at now (POSIX seconds): those of
// every tenth route, "route-0", "route-10" and so on.
QByteArray agencyAlertsFeed(qint64 now);

// Floods of tiny messages of about size bytes, what a reader's memory must bear within the reply
// cap: a GTFS-Realtime feed made at made, its alerts holding as many empty selectors, periods and
// translations as an alert may (the first selector names "route-0"), and an ODPT array of zeros.
QByteArray alertsFlood(qint64 made, qsizetype size);
QByteArray odptFlood(qsizetype size);

} // namespace senrokan::test
