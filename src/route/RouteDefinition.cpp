// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RouteDefinition.h"

namespace senrokan
{

RouteDefinition RouteFieldSource::routeDefinition(int route) const
{
    RouteDefinition def;
    for (int k = 1; k <= RouteFieldCount; ++k)
        def[k] = routeField(route, k);
    return def;
}

RouteTable::RouteTable()
{
    for (auto& route : m_routes)
        route[PortNumber] = DefaultPortText;
}

QString RouteTable::routeField(int route, int element) const
{
    return m_routes.at(route)[element];
}

void RouteTable::setRouteField(int route, int element, const QString& text)
{
    m_routes.at(route)[element] = text;
}

} // namespace senrokan
