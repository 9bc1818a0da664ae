// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ChangeReport.h"

#include "route/Reason.h"
#include "route/RouteDefinition.h"
#include "route/StatusWords.h"

namespace senrokan
{

namespace
{

const QString ReportTitle = QStringLiteral("運行情報");

QString timeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy年MM月dd日 HH時mm分ss秒"));
}

} // namespace

bool isLineState(int status)
{
    return status == StatusNormal || status == StatusDelayed;
}

RouteChange routeChange(int previous, int current)
{
    if (current == StatusDelayed && previous != StatusDelayed)
        return RouteChange::Delayed;
    if (current == StatusNormal && previous == StatusDelayed)
        return RouteChange::Recovered;
    return RouteChange::None;
}

RouteChanges routeChanges(const LineStates& previous, const RouteStates& states)
{
    RouteChanges changes;
    changes.fill(RouteChange::None);
    for (int r = 1; r <= RouteCount; ++r)
        changes[r] = routeChange(previous[r], states[r].Status);
    return changes;
}

std::optional<ChangeReport> changeReport(const RouteStates& states, const LineStates& previous,
                                         const PerRoute<QString>& pages, const QDateTime& checkTime)
{
    return changeReport(states, routeChanges(previous, states), pages, checkTime);
}

std::optional<ChangeReport> changeReport(const RouteStates& states, const RouteChanges& changes,
                                         const PerRoute<QString>& pages, const QDateTime& checkTime)
{
    ChangeReport report;
    QStringList lines;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteChange change = changes[r];
        if (change == RouteChange::None)
            continue;
        const bool delayed = change == RouteChange::Delayed;
        lines << states[r].Title + QStringLiteral(": ") +
                     (delayed ? withReason(statusWord(StatusDelayed), states[r].Reason)
                              : recoveryWords());
        if (delayed && !report.delayed)
            report.pageUrl = pages[r];
        report.delayed = report.delayed || delayed;
    }
    if (lines.isEmpty())
        return std::nullopt;
    report.title = ReportTitle;
    report.message = lines.join(u'\n') + u'\n' + timeText(checkTime);
    return report;
}

ChangeReport testReport(const QDateTime& time)
{
    ChangeReport report;
    report.title = ReportTitle;
    report.message = QStringLiteral("Senrokan からのテスト送信です\n") + timeText(time);
    return report;
}

} // namespace senrokan
