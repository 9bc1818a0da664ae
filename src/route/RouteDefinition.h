// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <array>

namespace senrokan
{

inline constexpr int RouteCount = 5;
inline constexpr int RouteFieldCount = 10;

// Element numbers of a route's ten text fields, as on its tab page.
enum RouteField : int {
    Title = 1,
    ServerName = 2,
    DirectoryName = 3,
    MatchWord = 4,
    PortNumber = 5,
    DelayDirectoryName = 6,
    ValidFrom = 7,
    ValidTo = 8,
    SubtitleStart = 9,
    SubtitleEnd = 10,
};

// Something kept for each route by its number 1 to 5; slot 0 exists but is never used.
template <typename T> using PerRoute = std::array<T, RouteCount + 1>;

inline bool isRouteIndex(int route)
{
    return route >= 1 && route <= RouteCount;
}

// The ten fields of one route, indexed by RouteField.
struct RouteDefinition {
    std::array<QString, RouteFieldCount + 1> fields; // [0] unused, so element k is fields[k]

    const QString& operator[](int element) const { return fields.at(element); }
    QString& operator[](int element) { return fields.at(element); }
};

struct RouteOptions;

// The port field of a new route, and the port a check asks when the field names no other.
inline const QString DefaultPortText = QStringLiteral("80");

// Where a check reads a route's fields at the moment it runs: the routes' owner as the user
// edits it, or an in-memory table for the tests.
class RouteFieldSource
{
public:
    virtual ~RouteFieldSource() = default;
    virtual QString routeField(int route, int element) const = 0;
    // Puts the routes' options edited and not yet saved over options, as read from the file.
    virtual void applyEditedOptions(PerRoute<RouteOptions>& /*options*/) const {}

    RouteDefinition routeDefinition(int route) const;
};

// Plain in-memory route fields. A new table shows what a fresh route page shows: all empty but
// the port, which reads DefaultPortText.
class RouteTable : public RouteFieldSource
{
public:
    RouteTable();

    QString routeField(int route, int element) const override;
    void setRouteField(int route, int element, const QString& text);

private:
    PerRoute<RouteDefinition> m_routes;
};

} // namespace senrokan
