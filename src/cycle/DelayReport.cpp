// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DelayReport.h"

#include "StatusSummary.h"
#include "route/Reason.h"
#include "route/RouteDefinition.h"
#include "route/StatusWords.h"
#include "route/Watching.h"

#include <QDateTime>

namespace senrokan
{

QList<PopupEntry> popupEntries(const RouteStates& states, const PerRoute<QString>& pages)
{
    QList<PopupEntry> entries;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteState& s = states.at(r);
        if (s.Status == StatusDelayed)
            entries.append({r, s.Title, clockTime(s.CheckTime), s.Reason, !pages.at(r).isEmpty()});
    }
    return entries;
}

QStringList delayNotice(const RouteStates& states)
{
    QStringList lines;
    for (int r = 1; r <= RouteCount; ++r) {
        if (states.at(r).Status == StatusDelayed)
            lines << withReason(states.at(r).Title, states.at(r).Reason);
    }
    return lines;
}

QStringList recoveryNotice(const RouteStates& states, const PerRoute<bool>& noticed)
{
    QStringList lines;
    for (int r = 1; r <= RouteCount; ++r) {
        if (noticed[r] && states.at(r).Status == StatusNormal)
            lines << states.at(r).Title + QStringLiteral(": ") + recoveryWords();
    }
    return lines;
}

QString trayToolTip(const RouteStates& states, const RoundTelling& telling)
{
    // A tip is a glance: the reason's first words, the whole of it is in the popup.
    constexpr qsizetype ReasonWords = 24;
    QStringList lines;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteState& state = states.at(r);
        if (!isWatched(state))
            continue;
        QString line = state.Title + QStringLiteral(": ") + statusWord(state.Status);
        if (const std::optional<int> minutes = statedMinutes(state.Reason);
            minutes && state.Status == StatusDelayed)
            line += QStringLiteral(" 最大%1分").arg(*minutes);
        if (telling[r].quiet)
            line += u' ' + QuietTodayWhy;
        const QDateTime time = QDateTime::fromString(state.CheckTime, Qt::ISODate);
        if (time.isValid())
            line += u' ' + time.toString(QStringLiteral("HH:mm"));
        if (state.Status == StatusDelayed && !state.Reason.isEmpty())
            line += u' ' + reasonFirstWords(state.Reason, ReasonWords);
        lines << line;
    }
    return lines.join(u'\n');
}

TrayPicture trayPictureFor(const RouteStates& states)
{
    switch (overallStatus(states)) {
    case StatusDelayed:
        return TrayPicture::Delay;
    case StatusConnectFailed:
        return TrayPicture::Error;
    default:
        return TrayPicture::Normal;
    }
}

} // namespace senrokan
