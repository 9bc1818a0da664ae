// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DelayReport.h"

#include "StatusSummary.h"
#include "route/Reason.h"
#include "route/RouteDefinition.h"
#include "route/StatusWords.h"

namespace senrokan
{

QString delayReportText(const RouteStates& states)
{
    QString text;
    for (int r = 1; r <= RouteCount; ++r) {
        if (states.at(r).Status == StatusDelayed)
            text += states.at(r).Title + QChar(0x3000) + QStringLiteral("\r\n") +
                    reasonLine(states.at(r));
    }
    return text;
}

QList<PopupEntry> popupEntries(const RouteStates& states, const std::array<QString, 7>& pages)
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
