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
    // A tip is a glance: the first words of the reason or notice, the whole is elsewhere.
    constexpr qsizetype ReasonWords = 24;
    QStringList lines;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteState& state = states.at(r);
        if (!isWatched(state))
            continue;
        // The state the check found, said once, then why.
        const bool delayed = state.Status == StatusDelayed;
        QString line = state.Title + QStringLiteral(": ") +
                       (delayed ? delayStateWord(state.Reason) : statusWord(state.Status));
        if (const std::optional<int> minutes = statedMinutes(state.Reason); minutes && delayed)
            line += QStringLiteral(" 最大%1分").arg(*minutes);
        if (telling[r].quiet)
            line += u' ' + QuietTodayWhy;
        const QDateTime time = QDateTime::fromString(state.CheckTime, Qt::ISODate);
        if (time.isValid())
            line += u' ' + time.toString(QStringLiteral("HH:mm"));
        // A delay's reason leads with the delay; a line running normally may have notices; a
        // failed check says why.
        const QString why = delayed ? reasonAfterStateWord(state.Reason)
                            : state.Status == StatusConnectFailed ? state.Failure
                            : state.Status == StatusNormal        ? state.Notice
                                                                  : QString();
        if (!why.isEmpty())
            line += u' ' + reasonFirstWords(why, ReasonWords);
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
