// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckerReports.h"

#include "report/Reporter.h"

#include <QEventLoop>

namespace senrokan
{

void tellDeliveries(Reporter& reporter, const std::function<void(const QString&)>& tell)
{
    QObject::connect(&reporter, &Reporter::problem, tell);
    QObject::connect(&reporter.sender(), &ReportSender::delivered,
                     [tell](const ReportTarget& target, const DeliveryOutcome& outcome) {
                         if (!outcome.delivered)
                             tell(QStringLiteral("%1: %2").arg(target.masked(), outcome.error));
                     });
}

void awaitDeliveries(Reporter& reporter)
{
    if (reporter.sender().pending() == 0)
        return;
    QEventLoop loop;
    QObject::connect(&reporter.sender(), &ReportSender::idle, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace senrokan
