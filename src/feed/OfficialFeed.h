// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

namespace senrokan
{

// The verdict of a feed's body, fetched from address, on the line feedLine. A JSON array is read
// as ODPT train information: the line is delayed when one of its newest records has a status
// without matchWord (searched as a page is); an array over 2 MiB or of over 50 000 arrays and
// objects is never parsed and fails. Anything else is read as a GTFS-Realtime FeedMessage: the
// line is delayed when an alert for it in force at now tells of a delay. Notices leave the line
// normal. Data more than an hour old fails (decideOdpt, decideGtfsRealtime). A body that is
// neither fails, as does a blank feedLine.
Verdict decideFeed(const QByteArray& body, const QString& feedLine, const QString& matchWord,
                   const QDateTime& now, const QUrl& address);

} // namespace senrokan
