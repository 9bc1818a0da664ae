// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckRound.h"

#include "history/CheckHistory.h"
#include "report/Reporter.h"

namespace senrokan
{

CheckRound::CheckRound(RouteChecker& checker, const RouteFieldSource& routes, QObject* parent)
    : QObject(parent), m_checker(checker), m_routes(routes)
{
    m_checker.setRoutes(m_checked);
}

void CheckRound::startOver()
{
    for (int r = 1; r <= RouteCount; ++r)
        m_states[r] = {m_routes.routeField(r, Title), {}, StatusNone, {}};
}

RouteStates CheckRound::namedByFields(RouteStates states) const
{
    for (int r = 1; r <= RouteCount; ++r)
        states[r].Title = m_routes.routeField(r, Title);
    return states;
}

RoundResult CheckRound::run(const RoundRequest& request)
{
    Q_EMIT started();
    RoundResult result = runChecks(request);
    Q_EMIT finished();
    return result;
}

RoundResult CheckRound::runChecks(const RoundRequest& request)
{
    RoundResult result;
    result.started = QDateTime::currentDateTime();
    for (int r = 1; r <= RouteCount; ++r)
        for (int field = 1; field <= RouteFieldCount; ++field)
            m_checked.setRouteField(r, field, m_routes.routeField(r, field));
    const CompanionValues companion = m_companion ? m_companion->read() : CompanionValues();
    result.options = companion.routes;
    // A line chosen is checked as chosen, saved or not, as its fields are.
    m_routes.applyEditedOptions(result.options);
    m_checker.setRouteOptions(result.options);

    const bool byButton = request.source == CheckSource::Button;
    // What the round is judged by, read before it adds its own records.
    const RoundVerdicts before(byButton ? nullptr : m_history, result.options);
    // The routes read as the browser shows them are read side by side from the start.
    if (!byButton)
        m_checker.beginRendering(request.route);
    for (int r = 1; r <= RouteCount; ++r) {
        if (request.route != 0 && request.route != r)
            continue;
        std::optional<CheckOutcome> outcome =
            byButton ? m_checker.CheckRoute(r, 0) : m_checker.PollRoute(r, 0);
        if (m_ended) {
            result.ended = true;
            return result;
        }
        if (!outcome)
            continue;
        m_states[r] = outcome->after(m_states[r]);
        if (outcome->record) {
            outcome->record->source = request.source;
            if (m_history)
                m_history->append(*outcome->record);
        }
        result.last = std::move(outcome);
    }
    if (!byButton)
        m_checker.endRendering();
    result.states = m_states;
    if (byButton)
        return result;

    result.told = before.confirmations(result.states);
    result.telling = roundTelling(result.states, result.options, result.told);
    if (request.report && m_reporter) {
        TargetList targets = companion.targets;
        const TargetList extra =
            parseReportTargets(request.extraTargets, !appriseProgram().isEmpty());
        targets.usable += extra.usable;
        targets.problems += extra.problems;
        m_reporter->reportChanges(
            namedByFields(toldOnly(result.states, result.telling)), m_checked, result.started,
            result.told ? std::optional(changesOf(*result.told)) : std::nullopt, targets);
    }
    return result;
}

} // namespace senrokan
