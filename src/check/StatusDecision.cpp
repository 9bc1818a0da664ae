// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusDecision.h"

#include "TimeWindow.h"
#include "codec/JsonEscapes.h"
#include "codec/MarkupText.h"
#include "codec/TextSearch.h"
#include "route/Reason.h"

namespace senrokan
{

bool outOfHours(const RouteDefinition& route, QTime now)
{
    const QString& from = route[ValidFrom];
    const QString& to = route[ValidTo];
    return !from.isEmpty() && !to.isEmpty() && InTimeWindow(from, to, now) == -1;
}

Verdict decideStatus(const RouteDefinition& route, const QString& pageText, QTime now,
                     PageForm form)
{
    if (outOfHours(route, now))
        return {StatusOutOfHours, {}};

    const QString& word = route[MatchWord];
    const QString text = form == PageForm::Json ? decodeJsonEscapes(pageText) : pageText;
    const TextSearch page(text);
    if (route[SubtitleStart].isEmpty())
        return {page.find(word, 1) != 0 ? StatusNormal : StatusDelayed, {}};

    // A section start missing from the page gives p1 = 0, which the searches below reject as an
    // invalid start: the check then ends without a verdict.
    qsizetype startEnd = 0;
    const qsizetype p1 = page.find(route[SubtitleStart], 1, &startEnd);
    const QString& end = route[SubtitleEnd];
    const qsizetype p2 = end.isEmpty() ? text.size() : page.find(end, p1);
    const qsizetype p3 = page.find(word, p1);
    if (p3 != 0 && p3 <= p2)
        return {StatusNormal, {}};
    // The reason needs both ends of the section on the page.
    if (end.isEmpty() || p2 < startEnd)
        return {StatusDelayed, {}};
    const QStringView section = QStringView(text).sliced(startEnd - 1, p2 - startEnd);
    if (form == PageForm::Shown)
        return {StatusDelayed, foldReason(section)};
    // The fold stops early by itself; the source's text stops once there is enough of it.
    return {StatusDelayed, foldReason(markupText(section, 2 * MaxReasonLength))};
}

} // namespace senrokan
