// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RoundVerdicts.h"

#include "history/CheckHistory.h"

namespace senrokan
{

RoundVerdicts::RoundVerdicts(CheckHistory* history, const RouteOptionsTable& options)
    : m_options(options)
{
    if (!history)
        return;
    PerRoute<QList<int>> earlier;
    for (int r = 1; r <= RouteCount; ++r) {
        const std::optional<QList<int>> verdicts =
            history->lastLineVerdicts(r, qMax(options[r].confirm, MinConfirm));
        if (!verdicts)
            return;
        earlier[r] = *verdicts;
    }
    m_earlier = earlier;
}

std::optional<RouteConfirmations> RoundVerdicts::confirmations(const RouteStates& states) const
{
    if (!m_earlier)
        return std::nullopt;
    RouteConfirmations result;
    for (int r = 1; r <= RouteCount; ++r)
        result[r] = confirmation((*m_earlier)[r], states[r].Status, m_options[r].confirm);
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
