// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "report/ChangeReport.h"
#include "report/ReportTarget.h"
#include "route/RouteState.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

namespace senrokan
{

class RouteFieldSource;

// --notify: reports the changes of the check that began at checkTime to the usable targets
// and waits for the deliveries, each bounded in time. Every failed target and every target that
// cannot be used is told through tell, its secrets masked.
void reportCheckerChanges(const QDateTime& checkTime, const RouteStates& states,
                          const std::optional<RouteChanges>& changes,
                          const RouteFieldSource& routes, const TargetList& targets,
                          const std::function<void(const QString&)>& tell);

} // namespace senrokan
