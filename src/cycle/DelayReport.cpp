// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DelayReport.h"

#include "StatusSummary.h"
#include "route/Reason.h"
#include "route/RouteDefinition.h"
#include "route/StatusWords.h"

#include <QDateTime>

namespace senrokan
{

QString popupText(const QList<PopupEntry>& entries)
{
    QString text;
    for (const PopupEntry& entry : entries) {
        text += entry.title + QChar(0x3000) + QStringLiteral("\r\n");
        if (!entry.reason.isEmpty())
            text += QChar(0x3000) + reasonOnOneLine(entry.reason) + QStringLiteral("\r\n");
    }
    return text;
}

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

QString trayToolTip(const RouteStates& states)
{
    // A tip is a glance: the first words of the reason or notice, the whole is elsewhere.
    constexpr qsizetype ReasonWords = 24;
    QStringList lines;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteState& state = states.at(r);
        // A route without a server, or without a name to call it by, is not one being watched.
        if (state.Status == StatusNoServer || state.Title.isEmpty())
            continue;
        QString line = state.Title + QStringLiteral(": ") + statusWord(state.Status);
        const QDateTime time = QDateTime::fromString(state.CheckTime, Qt::ISODate);
        if (time.isValid())
            line += u' ' + time.toString(QStringLiteral("HH:mm"));
        // A line running normally may have notices; a delay's reason leads with the delay.
        const QString said = state.Status == StatusDelayed  ? state.Reason
                             : state.Status == StatusNormal ? state.Notice
                                                            : QString();
        if (!said.isEmpty()) {
            const QString words = said.simplified();
            line += u' ' + (words.size() > ReasonWords ? words.left(ReasonWords) + u'…' : words);
        }
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
