// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckerReports.h"

#include "report/Reporter.h"

#include <QDateTime>
#include <QEventLoop>

namespace senrokan
{

void reportCheckerChanges(const QDateTime& checkTime, const RouteStates& states,
                          const std::optional<RouteChanges>& changes,
                          const RouteFieldSource& routes, const TargetList& targets,
                          const std::function<void(const QString&)>& tell)
{
    Reporter reporter;
    QObject::connect(&reporter, &Reporter::problem, tell);
    QObject::connect(&reporter.sender(), &ReportSender::delivered,
                     [&](const ReportTarget& target, const DeliveryOutcome& outcome) {
                         if (outcome.delivered)
                             return;
                         tell(QStringLiteral("%1: %2").arg(target.masked(), outcome.error));
                     });
    if (!reporter.reportChanges(states, routes, checkTime, changes, targets) ||
        reporter.sender().pending() == 0)
        return;
    QEventLoop loop;
    QObject::connect(&reporter.sender(), &ReportSender::idle, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace senrokan
