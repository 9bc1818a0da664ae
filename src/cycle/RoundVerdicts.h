// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "report/Confirmation.h"
#include "route/RouteOptions.h"
#include "route/RouteState.h"

#include <QList>

#include <array>
#include <optional>

namespace senrokan
{

class CheckHistory;

using RouteConfirmations = PerRoute<Confirmation>;

// What the record of checks says before a round of checks, to judge the round by: each route's
// last run of delayed verdicts, with whether the route's telling rules let each be told. Read
// before the round adds its own records, so it carries over restarts and from one
// senrokan-check run to the next.
class RoundVerdicts
{
public:
    // From history (none: no record kept) for routes with options.
    RoundVerdicts(CheckHistory* history, const RouteOptionsTable& options);

    // What the round that found states tells of each route; none when there is no record to
    // judge by (none kept, or it cannot be read).
    std::optional<RouteConfirmations> confirmations(const RouteStates& states) const;

private:
    std::optional<PerRoute<QList<LineVerdict>>> m_earlier;
    RouteOptionsTable m_options;
};

// The changes the confirmations tell, by route.
RouteChanges changesOf(const RouteConfirmations& confirmations);

// The states as they are told: a delay not yet confirmed shows as nothing known of the route.
RouteStates toldStates(const RouteStates& states,
                       const std::optional<RouteConfirmations>& confirmations);

} // namespace senrokan
