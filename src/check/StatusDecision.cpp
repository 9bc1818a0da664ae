// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusDecision.h"

#include "TimeWindow.h"
#include "base/Failure.h"
#include "codec/JsonEscapes.h"
#include "codec/MarkupText.h"
#include "codec/TextSearch.h"
#include "route/Reason.h"

namespace senrokan
{

namespace
{

bool hoursSet(const RouteDefinition& route)
{
    return !route[ValidFrom].isEmpty() && !route[ValidTo].isEmpty();
}

bool readsAsTime(const QString& text)
{
    try {
        parseTimeOfDay(text);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

} // namespace

bool outOfHours(const RouteDefinition& route, QTime now)
{
    const QString& from = route[ValidFrom];
    const QString& to = route[ValidTo];
    return hoursSet(route) && readsAsTime(from) && readsAsTime(to) &&
           InTimeWindow(from, to, now) == -1;
}

QString validHoursProblem(const RouteDefinition& route)
{
    if (!hoursSet(route))
        return {};
    QStringList problems;
    for (const auto& [field, name] : {std::pair{ValidFrom, "ValidFrom"}, {ValidTo, "ValidTo"}}) {
        if (!readsAsTime(route[field]))
            problems << QStringLiteral("%1「%2」を時刻として読めません")
                            .arg(QLatin1String(name), foldReason(route[field]));
    }
    if (problems.isEmpty())
        return {};
    return problems.join(QStringLiteral("、")) +
           QStringLiteral("（有効時間帯なしでチェックします）");
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

    // A page that no longer has the section (redesigned, or an error page) says nothing of the
    // line: the check fails and says which marker is missing.
    qsizetype startEnd = 0;
    const qsizetype p1 = page.find(route[SubtitleStart], 1, &startEnd);
    if (p1 == 0)
        return {StatusConnectFailed, QStringLiteral("サブタイトル「%1」がページにありません")
                                         .arg(foldReason(route[SubtitleStart]))};
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
