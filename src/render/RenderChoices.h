// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteDefinition.h"

#include <QString>

#include <array>

namespace senrokan
{

// Which routes are read as the browser shows them ("ブラウザで読む"): "Render=true" in the
// sections [Route1] … [Route5] of Senrokan.ini. Railway files do not carry it.
class RenderChoices
{
public:
    // The choices of the companion file at path; none chosen when it is missing or unreadable.
    static RenderChoices read(const QString& path);

    bool rendered(int route) const { return isRouteIndex(route) && m_rendered[route]; }
    // Sets one route's choice in the file at path; why not, empty when it was saved.
    static QString save(const QString& path, int route, bool rendered);

private:
    std::array<bool, RouteCount + 1> m_rendered{}; // [0] unused
};

} // namespace senrokan
