// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Watching.h"

namespace senrokan
{

bool hasPage(const RouteDefinition& def)
{
    return !def[ServerName].isEmpty();
}

bool readsFeed(const RouteOptions& options)
{
    return !options.feed.isEmpty();
}

bool readsOnlyFeed(const RouteDefinition& def, const RouteOptions& options)
{
    return !hasPage(def) && readsFeed(options);
}

bool isWatched(const RouteDefinition& def, const RouteOptions& options)
{
    return hasPage(def) || readsFeed(options);
}

bool isWatched(const RouteState& state)
{
    return state.Status != StatusNoServer && !state.Title.isEmpty();
}

} // namespace senrokan
