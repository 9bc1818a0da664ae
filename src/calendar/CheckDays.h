// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteOptions.h"

#include <QDate>
#include <QString>

#include <optional>

namespace senrokan
{

// The reasons of status 4 on a day a route is not watched.
inline const QString OffWeekdayReason = QStringLiteral("曜日外");
inline const QString OffHolidayReason = QStringLiteral("祝日");

// Reads a route's "Days=": the characters 月火水木金土日, in any order, blanks and commas
// (、，・ too) between them allowed. Returns them once each in the week's order, empty (every
// day) for an empty text. None, with why in error, for any other character: "月曜" or "平日" is
// more likely a misunderstanding than a wish to watch no day.
std::optional<QString> parseCheckDays(const QString& text, QString* error = nullptr);

// Reads a route's "Holidays=": true, 1, yes or empty (absent) watch the holidays; false, 0 or no
// leave them out, letter case aside. None, with why in error, for anything else.
std::optional<bool> parseHolidaysValue(const QString& text, QString* error = nullptr);

// Why a route with options is not watched on date: OffWeekdayReason when the day of the week is
// not among its days (said first: it holds whatever the date), OffHolidayReason on a holiday it
// leaves out; none when it is watched.
std::optional<QString> dayOffReason(const RouteOptions& options, QDate date);

} // namespace senrokan
