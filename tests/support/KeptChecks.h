// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "check/RouteChecker.h"

#include <optional>

namespace senrokan::test
{

// A checker's checks with their outcomes kept in the routes' states, as a round keeps them.
class KeptChecks
{
public:
    explicit KeptChecks(RouteChecker& checker) : m_checker(checker) {}

    std::optional<CheckOutcome> PollRoute(int route, int retry)
    {
        return keep(route, m_checker.PollRoute(route, retry));
    }
    std::optional<CheckOutcome> CheckRoute(int route, int mode)
    {
        return keep(route, m_checker.CheckRoute(route, mode));
    }
    RouteStates& states() { return m_states; }

private:
    std::optional<CheckOutcome> keep(int route, std::optional<CheckOutcome> outcome)
    {
        if (outcome && isRouteIndex(route))
            m_states[route] = outcome->after(m_states[route]);
        return outcome;
    }

    RouteChecker& m_checker;
    RouteStates m_states;
};

} // namespace senrokan::test
