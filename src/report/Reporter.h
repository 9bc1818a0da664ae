// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ChangeReport.h"
#include "ReportSender.h"

#include <QObject>

#include <functional>
#include <optional>

namespace senrokan
{

class RouteFieldSource;

// The reports of checks to their targets. The targets come with each report, read by whoever
// keeps them, so a target added anywhere counts from the next check on.
class Reporter : public QObject
{
    Q_OBJECT
public:
    explicit Reporter(QObject* parent = nullptr);

    // Reports the changes of the check that began at checkTime to the usable targets and
    // returns at once. False when nothing changed. The changes are those the record of checks
    // tells, or when there are none those judged against what this object saw in the checks it
    // reported on. The targets' problems are told by problem().
    bool reportChanges(const RouteStates& states, const RouteFieldSource& routes,
                       const QDateTime& checkTime, const std::optional<RouteChanges>& changes,
                       const TargetList& targets);
    // Sends a test report to every usable target.
    void sendTest(const TargetList& targets);

    ReportSender& sender() { return m_sender; }

Q_SIGNALS:
    // A target that cannot be used (its file unreadable, its URL refused, apprise missing) or
    // that goes with a warning, masked.
    void problem(const QString& text);

private:
    void tellProblems(const TargetList& targets);

    ReportSender m_sender;
    LineStates m_seen;
};

} // namespace senrokan
