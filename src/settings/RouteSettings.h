// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "CompanionSettings.h"
#include "SettingsFile.h"
#include "route/RouteDefinition.h"
#include "route/RouteOptions.h"

#include <QObject>

#include <optional>

namespace senrokan
{

struct OdptAccess;
struct OdptLine;

// The five routes and their one owner: each route's ten fields (the port among them, which
// Senrokan.ini keeps) and its options, as loaded from Senrokan.DEF and Senrokan.ini in one
// folder and as edited since. The window edits them here, and the checks, the line picker and
// senrokan-check read them here, so a check reads the fields as they stand. A save writes both
// files or leaves both as they were.
class RouteSettings : public QObject, public RouteFieldSource
{
    Q_OBJECT
public:
    // Senrokan.ini in folder dir; Senrokan.DEF where each load and save names it.
    explicit RouteSettings(const QString& dir, QObject* parent = nullptr);

    const CompanionSettings& companion() const { return m_companion; }

    QString routeField(int route, int element) const override;
    // An edit of a field.
    void setRouteField(int route, int element, const QString& text);
    void applyEditedOptions(RouteOptionsTable& options) const override;

    // Every route's options as they stand: Senrokan.ini's, read now, with the ones edited and
    // not yet saved over them; what could not be read in problems.
    RouteOptionsTable options(QStringList* problems = nullptr) const;
    // An edit of a route's options (its port among them): saved at once, as the report targets
    // are, but for a route that holds a line chosen and not yet saved, whose options wait for
    // the route's save. A save that fails answers why and keeps the file's.
    SettingsWrite editOptions(int route, const RouteOptions& options);
    // The route made the line: the title the line's name, the feed its operator's train
    // information at access, the feed's line the id, and the match word 平常 when there is none;
    // every other field and option as it was. An edit like typing, saved with the route.
    void useLine(int route, const OdptLine& line, const OdptAccess& access);

    // Reads Senrokan.DEF in folder dir (or the file at path), following a priority railway file
    // named on line 1 beside it, and each route's port from Senrokan.ini. A read that did not
    // complete changes no field. What is read counts as saved.
    SettingsRead load(const QString& dir, const QString& path = {});
    // Reads a railway file's routes in place of the routes; a read that did not complete
    // changes none.
    SettingsRead importRailwayFile(const QString& path);
    // Writes Senrokan.DEF in folder dir (line1, values and the routes as they stand, the lines
    // the user wrote after them kept) and the options waiting for it into Senrokan.ini: both or
    // neither. An empty dir (a folder lost) is a failure.
    SettingsWrite save(const QString& dir, const QString& line1, const SettingsValues& values);
    SettingsWrite exportRailwayFile(const QString& path, const SettingsValues& values) const;
    // Whether a route differs from what was last loaded or saved.
    bool hasUnsavedEdits() const;

Q_SIGNALS:
    // A load, an import or a line chosen replaced the route's fields or options; an edit by
    // setRouteField or editOptions is not told.
    void routeReplaced(int route);

private:
    RouteBlocks blocks() const;
    void replaceBlocks(const RouteBlocks& blocks);

    CompanionSettings m_companion;
    PerRoute<RouteDefinition> m_routes;
    // The options of a route made a line, until the route is saved.
    PerRoute<std::optional<RouteOptions>> m_heldOptions;
    std::optional<RouteBlocks> m_savedBlocks; // none before the first load
};

// Makes route (1 to 5) of the folder dir the line (RouteSettings::useLine) in its files, every
// other value, route and line of both kept as it was; a folder without Senrokan.DEF gets one.
// Refused while the desktop program has the folder (it would write Senrokan.DEF over at its
// end), and while Senrokan.DEF hands the routes to a priority railway file (a change there would
// never be read); a refused or failed command leaves both files as they were.
SettingsWrite useLineInFolder(const QString& dir, int route, const OdptLine& line);

} // namespace senrokan
