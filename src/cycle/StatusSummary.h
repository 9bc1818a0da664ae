// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QString>

namespace senrokan
{

// The words that describe a status, each led by an ideographic space.
QString statusWords(int status);

// A check time as "yyyy年mm月dd日 hh時mm分ss秒"; empty for an empty or unreadable time.
QString formatCheckTime(const QString& checkTime);

// The time of day of a check as "HH:mm"; empty for an empty or unreadable time.
QString clockTime(const QString& checkTime);

// The line under a delayed route that says why: an ideographic space, the reason on one line,
// CR LF; empty when the route is not delayed or the reason is not known.
QString reasonLine(const RouteState& state);

// For routes 1 to 5: title, status words, three blanks, the check time, CR LF, the reason line,
// CR LF.
QString statusSummaryText(const RouteStates& states);

} // namespace senrokan
