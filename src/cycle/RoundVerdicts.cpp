// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RoundVerdicts.h"

#include "Telling.h"
#include "history/CheckHistory.h"

namespace senrokan
{

namespace
{

// Longer runs than this are judged by their last verdicts: a week of checks every ten minutes.
constexpr int RunLimit = 1000;

} // namespace

RoundVerdicts::RoundVerdicts(CheckHistory* history, const RouteOptionsTable& options)
    : m_options(options)
{
    if (!history)
        return;
    PerRoute<QList<LineVerdict>> earlier;
    for (int r = 1; r <= RouteCount; ++r) {
        const std::optional<QList<CheckRecord>> run = history->lastDelayedRun(r, RunLimit);
        if (!run)
            return;
        for (const CheckRecord& record : *run) {
            const RouteTelling telling =
                verdictTelling(record.status, record.reason, options[r], record.time);
            earlier[r].append(LineVerdict(record.status, telling.told));
        }
    }
    m_earlier = earlier;
}

std::optional<RouteConfirmations> RoundVerdicts::confirmations(const RouteStates& states) const
{
    if (!m_earlier)
        return std::nullopt;
    RouteConfirmations result;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteState& state = states[r];
        const bool tells = verdictTelling(state.Status, state.Reason, m_options[r],
                                          QDateTime::fromString(state.CheckTime, Qt::ISODate))
                               .told;
        result[r] = confirmation((*m_earlier)[r], {state.Status, tells}, m_options[r].confirm);
    }
    return result;
}

RouteChanges changesOf(const RouteConfirmations& confirmations)
{
    RouteChanges changes;
    changes.fill(RouteChange::None);
    for (int r = 1; r <= RouteCount; ++r)
        changes[r] = confirmations[r].change;
    return changes;
}

RouteStates toldStates(const RouteStates& states,
                       const std::optional<RouteConfirmations>& confirmations)
{
    RouteStates told = states;
    if (!confirmations)
        return told;
    for (int r = 1; r <= RouteCount; ++r)
        if (told[r].Status == StatusDelayed && !(*confirmations)[r].confirmed)
            told[r].Status = StatusNone;
    return told;
}

} // namespace senrokan
