// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

namespace senrokan
{

class RouteFieldSource;

// --notify: reports the changes of the check that began at checkTime to the targets of
// Senrokan.ini in dir and to extraUrls,
// and waits for the deliveries, each bounded in time. Every failed target and every target that
// cannot be used is told through tell, its secrets masked.
void reportCheckerChanges(const QString& dir, const QDateTime& checkTime, const RouteStates& states,
                          const std::optional<LineStates>& previous,
                          const RouteFieldSource& routes, const QStringList& extraUrls,
                          const std::function<void(const QString&)>& tell);

} // namespace senrokan
