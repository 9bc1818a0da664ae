// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RouteDefinition.h"
#include "RouteOptions.h"
#include "RouteState.h"

namespace senrokan
{

// What a route is watched by, one rule for the check, the window, the tip and the reports.

// A route with a server has a page of its own: to check, to open in the web view, to link.
bool hasPage(const RouteDefinition& def);
// Read from its official feed instead of its page.
bool readsFeed(const RouteOptions& options);
// Read only from its feed: there is no page to open.
bool readsOnlyFeed(const RouteDefinition& def, const RouteOptions& options);
// A route with neither a page nor a feed is not checked at all: サーバ未設定.
bool isWatched(const RouteDefinition& def, const RouteOptions& options);
// A state worth telling of: a watched route with a name to call it by.
bool isWatched(const RouteState& state);

} // namespace senrokan
