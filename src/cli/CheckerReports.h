// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QStringList>

#include <functional>

namespace senrokan
{

class RouteFieldSource;

// --notify: reports the routes' changes to the targets of Senrokan.ini in dir and to extraUrls,
// and waits for the deliveries, each bounded in time. Every failed target and every target that
// cannot be used is told through tell, its secrets masked.
void reportCheckerChanges(const QString& dir, const RouteStates& states,
                          const RouteFieldSource& routes, const QStringList& extraUrls,
                          const std::function<void(const QString&)>& tell);

} // namespace senrokan
