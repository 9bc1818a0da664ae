// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "report/Confirmation.h"
#include "route/RouteOptions.h"
#include "route/RouteState.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

namespace senrokan
{

// Why a route's state is not told, as --json and the tip say it; besides these, the reason of a
// route outside its hours (時間帯外, 曜日外, 祝日) and 「N分未満」.
inline const QString SuspensionsOnlyWhy = QStringLiteral("見合わせのみ");
inline const QString QuietTodayWhy = QStringLiteral("今日は知らせない");
inline const QString UnconfirmedWhy = QStringLiteral("確認待ち");

// What a round tells of one route: whether its state goes to the popup, the chime, the desktop
// notification and the reports, and why not.
struct RouteTelling {
    bool told = true;
    QString whyNot;     // empty when told
    bool quiet = false; // kept quiet for today: nothing of it is told, its recovery neither
};
using RoundTelling = PerRoute<RouteTelling>;

// The most minutes a reason states: 約5分, 最大20分, 10～15分, 30分程度, 1時間30分, in half- or
// full-width digits; none when it states none. A time of day (8時30分頃) is no number of minutes,
// nor is a headway (15分間隔).
std::optional<int> statedMinutes(QStringView reason);

// Whether the route's line is kept quiet at time (local or not).
bool isQuiet(const RouteOptions& options, const QDateTime& time);

// Whether a verdict read at time with reason gets past the route's telling rules: a line kept
// quiet tells nothing; a delay is told unless the route tells suspensions only and the reason
// names none, or the reason states fewer minutes than the route's least. A suspension is always
// told, and so is a delay whose reason says nothing to judge it by: what cannot be measured is
// never held back.
RouteTelling verdictTelling(int status, const QString& reason, const RouteOptions& options,
                            const QDateTime& time);

// What a round tells of each route, from the states it found, the routes' options and the
// confirmations (none: no record, every delay counts at once). A route outside its hours tells
// nothing, why as its reason says.
RoundTelling roundTelling(const RouteStates& states, const RouteOptionsTable& options,
                          const std::optional<PerRoute<Confirmation>>& confirmations);

// The states as they are told: a route not told reads as nothing known of it.
RouteStates toldOnly(RouteStates states, const RoundTelling& telling);

// The routes a notification told delayed and whose recovery is still to be told, less those now
// kept quiet.
PerRoute<bool> withoutQuiet(PerRoute<bool> noticed, const RoundTelling& telling);

} // namespace senrokan
