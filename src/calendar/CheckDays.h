// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteOptions.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

#include <optional>

namespace senrokan
{

// The reasons of status 4 on a day a route is not watched.
inline const QString OffWeekdayReason = QStringLiteral("曜日外");
inline const QString OffHolidayReason = QStringLiteral("祝日");
// The reason of status 4 at a time outside all of a route's bands.
inline const QString OffHoursReason = QStringLiteral("時間帯外");

// A band of the day a route is checked in, both ends inside at minute resolution; one whose end
// comes before its start runs past midnight.
struct HourBand {
    QTime from;
    QTime to;
};

// Reads a route's "Days=": the characters 月火水木金土日, in any order, blanks and commas
// (、，・ too) between them allowed. Returns them once each in the week's order, empty (every
// day) for an empty text. None, with why in error, for any other character: "月曜" or "平日" is
// more likely a misunderstanding than a wish to watch no day.
std::optional<QString> parseCheckDays(const QString& text, QString* error = nullptr);

// Reads a route's "Holidays=": true, 1, yes or empty (absent) watch the holidays; false, 0 or no
// leave them out, letter case aside. None, with why in error, for anything else.
std::optional<bool> parseHolidaysValue(const QString& text, QString* error = nullptr);

// Reads a route's "Hours=": bands "from-to" (each time as the valid-hours fields take it; －, ~,
// 〜 or ～ for the dash) separated by commas (、，too). Empty (all day) for an empty text. None,
// with why in error, for anything else.
std::optional<QList<HourBand>> parseHours(const QString& text, QString* error = nullptr);

// OffHoursReason when the route has bands and time lies in none of them; none otherwise, also
// when its bands cannot be read: such a route is checked all day.
std::optional<QString> hoursOffReason(const RouteOptions& options, QTime time);

// The end of the route's day as seen at now, where a pause of its telling for today ends: the
// end of its last band (the one that starts latest, on the next day when it runs past
// midnight) while that is to come, or of the band begun the day before that now lies in;
// otherwise midnight.
QDateTime dayEnd(const RouteOptions& options, const QDateTime& now);

// Why a route with options is not watched on date: OffWeekdayReason when the day of the week is
// not among its days (said first: it holds whatever the date), OffHolidayReason on a holiday it
// leaves out; none when it is watched.
std::optional<QString> dayOffReason(const RouteOptions& options, QDate date);

} // namespace senrokan
