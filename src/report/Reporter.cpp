// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Reporter.h"

#include "route/RouteAddress.h"
#include "route/RouteDefinition.h"

namespace senrokan
{

Reporter::Reporter(QObject* parent) : QObject(parent), m_sender(this)
{
    m_seen.fill(StatusNone);
}

void Reporter::tellProblems(const TargetList& targets)
{
    for (const QString& text : targets.problems)
        Q_EMIT problem(text);
}

bool Reporter::reportChanges(const RouteStates& states, const RouteFieldSource& routes,
                             const QDateTime& checkTime,
                             const std::optional<RouteChanges>& recorded, const TargetList& targets)
{
    const RouteChanges changes = recorded.value_or(routeChanges(m_seen, states));
    const PerRoute<QString> pages = pageAddresses(routes);
    for (int r = 1; r <= RouteCount; ++r) {
        if (isLineState(states[r].Status))
            m_seen[r] = states[r].Status;
    }
    const std::optional<ChangeReport> report = changeReport(states, changes, pages, checkTime);
    if (!report)
        return false;
    tellProblems(targets);
    m_sender.send(targets.usable, *report);
    return true;
}

void Reporter::sendTest(const TargetList& targets)
{
    tellProblems(targets);
    m_sender.send(targets.usable, testReport(QDateTime::currentDateTime()));
}

} // namespace senrokan
