// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Timeline.h"

#include "route/RouteState.h"
#include "route/StatusWords.h"

#include <QDateTime>

#include <algorithm>
#include <vector>

namespace senrokan
{

namespace
{

constexpr qint64 LeastReach = 10 * 60;

} // namespace

Shade shadeOf(int status)
{
    switch (status) {
    case StatusNormal:
        return Shade::Normal;
    case StatusDelayed:
        return Shade::Delayed;
    case StatusConnectFailed:
        return Shade::Unreachable;
    default:
        return Shade::NotChecked;
    }
}

QString shadeWords(Shade shade)
{
    switch (shade) {
    case Shade::Normal:
        return QStringLiteral("平常");
    case Shade::Delayed:
        return statusWord(StatusDelayed);
    case Shade::Unreachable:
        return statusWord(StatusConnectFailed);
    case Shade::NotChecked:
        break;
    }
    return QStringLiteral("未チェック");
}

qint64 findingReach(const Samples& checks)
{
    std::vector<qint64> gaps;
    for (qsizetype i = 1; i < checks.size(); ++i)
        gaps.push_back(checks[i].time - checks[i - 1].time);
    if (gaps.empty())
        return LeastReach;
    // The lower median: with few checks a long gap must not become the usual one.
    const auto middle = gaps.begin() + qsizetype((gaps.size() - 1) / 2);
    std::nth_element(gaps.begin(), middle, gaps.end());
    return std::max(LeastReach, *middle * 3 / 2);
}

QList<Span> spans(const Samples& checks, qint64 from, qint64 to, qint64 reach)
{
    QList<Span> result;
    auto add = [&](qint64 start, qint64 end, Shade shade) {
        start = std::max(start, from);
        end = std::min(end, to);
        if (start >= end)
            return;
        if (!result.isEmpty() && result.last().shade == shade && result.last().to == start)
            result.last().to = end;
        else
            result.append({start, end, shade});
    };
    qint64 covered = from;
    for (qsizetype i = 0; i < checks.size() && checks[i].time < to; ++i) {
        const qint64 next = i + 1 < checks.size() ? checks[i + 1].time : to;
        const qint64 end = std::min(next, checks[i].time + reach);
        if (end <= from)
            continue;
        add(covered, checks[i].time, Shade::NotChecked);
        add(checks[i].time, end, shadeOf(checks[i].status));
        covered = std::max(covered, end);
    }
    add(covered, to, Shade::NotChecked);
    return result;
}

std::array<int, 24> delayedByHour(const Samples& checks, qint64 since)
{
    std::array<int, 24> hours{};
    for (const Sample& check : checks) {
        if (check.time >= since && check.status == StatusDelayed)
            ++hours.at(QDateTime::fromSecsSinceEpoch(check.time).time().hour());
    }
    return hours;
}

QList<DelayPeriod> delayPeriods(const Samples& checks)
{
    QList<DelayPeriod> periods;
    bool open = false;
    for (const Sample& check : checks) {
        const bool delayed = check.status == StatusDelayed;
        if (delayed && !open)
            periods.prepend({check.time, std::nullopt});
        else if (!delayed && open)
            periods.first().end = check.time;
        if (delayed && !check.reason.isEmpty())
            periods.first().reason = check.reason;
        open = delayed;
    }
    return periods;
}

} // namespace senrokan
