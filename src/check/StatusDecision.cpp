// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusDecision.h"

#include "TimeWindow.h"
#include "codec/JsonEscapes.h"
#include "codec/TextSearch.h"

namespace senrokan
{

bool outOfHours(const RouteDefinition& route, QTime now)
{
    const QString& from = route[ValidFrom];
    const QString& to = route[ValidTo];
    return !from.isEmpty() && !to.isEmpty() && InTimeWindow(from, to, now) == -1;
}

Status decideStatus(const RouteDefinition& route, const QString& pageText, QTime now,
                    bool jsonReply)
{
    if (outOfHours(route, now))
        return StatusOutOfHours;

    const QString& word = route[MatchWord];
    const QString text = jsonReply ? decodeJsonEscapes(pageText) : pageText;
    const TextSearch page(text);
    if (route[SubtitleStart].isEmpty())
        return page.find(word, 1) != 0 ? StatusNormal : StatusDelayed;

    // A section start missing from the page gives p1 = 0, which the searches below reject as an
    // invalid start: the check then ends without a verdict.
    const qsizetype p1 = page.find(route[SubtitleStart], 1);
    const QString& end = route[SubtitleEnd];
    const qsizetype p2 = end.isEmpty() ? text.size() : page.find(end, p1);
    const qsizetype p3 = page.find(word, p1);
    return p3 != 0 && p3 <= p2 ? StatusNormal : StatusDelayed;
}

} // namespace senrokan
