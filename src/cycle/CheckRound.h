// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RoundVerdicts.h"
#include "Telling.h"
#include "check/RouteChecker.h"
#include "report/ReportTarget.h"
#include "route/CheckRecord.h"
#include "route/RouteDefinition.h"
#include "route/RouteState.h"
#include "settings/CompanionSettings.h"

#include <QDateTime>
#include <QObject>

#include <optional>

namespace senrokan
{

class CheckHistory;
class Reporter;

// What a round is asked to do. The timed cycle, the button "送信" and senrokan-check differ only
// in these.
struct RoundRequest {
    // What ran the round, as the record keeps it. A button's check tells its outcome in boxes
    // and is neither confirmed nor reported.
    CheckSource source = CheckSource::Timed;
    int route = 0;            // the one route checked, or 0 for routes 1 to 5
    bool report = false;      // the changes go to the report targets
    QStringList extraTargets; // report to these too in this round, besides the file's
};

// What a round found.
struct RoundResult {
    QDateTime started;
    // Every route's state after the round; routes not checked as they were.
    RouteStates states;
    // What the round tells of each route once confirmed; none without a record to judge by.
    std::optional<RouteConfirmations> told;
    // What the round tells of each route by its telling rules: the popup, the chime, the
    // notification and the reports take it, the record and the shown states do not.
    RoundTelling telling;
    // The routes' options as the round read them from Senrokan.ini.
    RouteOptionsTable options;
    // The last route's check; none when no check ran.
    std::optional<CheckOutcome> last;
    // The program ended during the round: nothing more of it is recorded or told.
    bool ended = false;
};

// One round of checks, the only one: reads the routes' fields and their Senrokan.ini options
// once, checks each route asked for, keeps each route's state, records every check, judges the
// round against the record for the confirmation of delays and reports the changes.
class CheckRound : public QObject
{
    Q_OBJECT
public:
    // routes: the fields as the user edits them, copied at the start of each round.
    CheckRound(RouteChecker& checker, const RouteFieldSource& routes, QObject* parent = nullptr);

    // Every route's check forgotten, each state named by its title field: at the start and when
    // an import replaced the routes.
    void startOver();

    // Where each round reads the routes' options and the report targets; none: no options, no
    // targets.
    void setCompanion(const CompanionSettings* companion) { m_companion = companion; }
    // Where each check is recorded; none keeps no record.
    void setHistory(CheckHistory* history) { m_history = history; }
    // Where the changes are reported; none reports nothing.
    void setReporter(Reporter* reporter) { m_reporter = reporter; }

    RoundResult run(const RoundRequest& request);
    // The program is ending: a round running stops after its current check, unrecorded.
    void end() { m_ended = true; }

    bool isRunning() const { return m_checker.isRunning(); }
    const RouteStates& states() const { return m_states; }
    RouteStates& states() { return m_states; }
    // The fields the last round checked, as it read them.
    const RouteFieldSource& checkedRoutes() const { return m_checked; }
    // The states named by the title fields as they stand: what notifications, reports and the
    // tip call a route, so a title typed today counts today.
    RouteStates namedByFields(RouteStates states) const;

Q_SIGNALS:
    void started();
    void finished();

private:
    RoundResult runChecks(const RoundRequest& request);

    RouteChecker& m_checker;
    const RouteFieldSource& m_routes;
    const CompanionSettings* m_companion = nullptr;
    CheckHistory* m_history = nullptr;
    Reporter* m_reporter = nullptr;
    RouteTable m_checked;
    RouteStates m_states;
    bool m_ended = false;
};

} // namespace senrokan
