// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusSummary.h"

#include "route/Reason.h"
#include "route/RouteDefinition.h"
#include "route/StatusWords.h"

#include <QDateTime>

namespace senrokan
{

QString statusWords(int status)
{
    return QChar(0x3000) + statusSentence(status);
}

namespace
{

QString checkTimeAs(const QString& checkTime, const QString& format)
{
    const QDateTime time = QDateTime::fromString(checkTime, Qt::ISODate);
    return time.isValid() ? time.toString(format) : QString();
}

} // namespace

QString formatCheckTime(const QString& checkTime)
{
    return checkTimeAs(checkTime, QStringLiteral("yyyy年MM月dd日 HH時mm分ss秒"));
}

QString clockTime(const QString& checkTime)
{
    return checkTimeAs(checkTime, QStringLiteral("HH:mm"));
}

QString reasonLine(const RouteState& state)
{
    if (state.Status != StatusDelayed || state.Reason.isEmpty())
        return {};
    return QChar(0x3000) + reasonOnOneLine(state.Reason) + QStringLiteral("\r\n");
}

QString statusSummaryText(const RouteStates& states)
{
    QString text;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteState& s = states[r];
        text += s.Title + statusWords(s.Status) + QStringLiteral("   ") +
                formatCheckTime(s.CheckTime) + QStringLiteral("\r\n") + reasonLine(s) +
                QStringLiteral("\r\n");
    }
    return text;
}

} // namespace senrokan
