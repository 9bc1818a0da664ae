// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DelayReport.h"

#include "route/RouteDefinition.h"

namespace senrokan
{

QString delayReportText(const RouteStates& states)
{
    QString text;
    for (const QString& title : delayedTitles(states))
        text += title + QChar(0x3000) + QStringLiteral("\r\n");
    return text;
}

QStringList delayedTitles(const RouteStates& states)
{
    QStringList titles;
    for (int r = 1; r <= RouteCount; ++r) {
        if (states.at(r).Status == StatusDelayed)
            titles << states.at(r).Title;
    }
    return titles;
}

TrayPicture trayPictureFor(const RouteStates& states)
{
    TrayPicture picture = TrayPicture::Normal;
    for (int r = 1; r <= RouteCount; ++r) {
        if (states.at(r).Status == StatusDelayed)
            return TrayPicture::Delay;
        if (states.at(r).Status == StatusConnectFailed)
            picture = TrayPicture::Error;
    }
    return picture;
}

} // namespace senrokan
