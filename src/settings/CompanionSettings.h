// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "SettingsFile.h"
#include "feed/OdptApi.h"
#include "report/ReportTarget.h"
#include "route/RouteOptions.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

namespace senrokan
{

inline const QString CompanionFileName = QStringLiteral("Senrokan.ini");

// One reading of "Senrokan.ini": plain values for whoever needs them.
class CompanionFile;

struct CompanionValues {
    QStringList targetTexts; // [Notify] Targets= as written, in order, for the list a user edits
    TargetList targets;      // the same, parsed once: the usable ones and what ails the others
    RouteOptionsTable routes;
    OdptAccess odpt;           // [ODPT] Base= and ConsumerKey=
    QStringList routeProblems; // options that could not be read, each with what is done instead
    QString unreadable; // why the file could not be read (also among targets.problems and, with
                        // what is done instead, routeProblems); or empty
    // [Window] Geometry=: where the main window was last, as x,y,width,height; none when not
    // kept or not readable.
    std::optional<QRect> windowGeometry;
};

// "Senrokan.ini" beside the settings file, the one place that knows its name, its sections and
// its keys: [Notify] Targets= (blank-separated report URLs), [ODPT] Base= and ConsumerKey= (the
// open transport data API and its key), [Route1] … [Route5] Render=, Feed=, FeedLine=, Days=,
// Holidays=, Confirm=, Port= (the port field, which Senrokan.DEF does not keep), Hours=, Tell=,
// MinDelay=, QuietUntil= and [Window] Geometry=. It is read once per check or showing and hands
// plain values down; a save changes only the keys it sets and keeps every other line as it was. The
// file is the user's alone: report targets, feed addresses and the consumer key hold passwords and
// keys.
class CompanionSettings
{
public:
    // The file in folder dir.
    explicit CompanionSettings(const QString& dir);

    const QString& path() const { return m_path; }

    // The file's values; defaults and no targets when it is missing, and when it is refused or
    // unreadable, with why among targets.problems.
    CompanionValues read() const;

    // Adds a target once it parses, and saves it.
    SettingsWrite addTarget(const QString& text) const;
    // Removes the target at index of targetTexts, and saves the rest.
    SettingsWrite removeTarget(int index) const;
    // Saves a route's options, writing only the keys whose values differ from the file's, so a
    // hand-written "Render=yes" stays as it is.
    SettingsWrite saveRouteOptions(int route, const RouteOptions& options) const;
    // Saves 今日は知らせない for route: nothing of its line is told before until; invalid ends it.
    SettingsWrite saveQuietUntil(int route, const QDateTime& until) const;
    // Saves [ODPT] ConsumerKey=.
    SettingsWrite saveConsumerKey(const QString& key) const;
    // Keeps where the main window is, for the next start.
    SettingsWrite saveWindowGeometry(const QRect& geometry) const;
    // The API as [ODPT] Base= names it, with consumerKey in place of ConsumerKey=: where a key
    // not saved yet is to be tried.
    OdptAccess odptWithKey(const QString& consumerKey) const;

private:
    SettingsWrite saveValue(const QString& section, const QString& key, const QString& value) const;
    SettingsWrite saveTargets(const QStringList& texts) const;
    SettingsWrite saved(const CompanionFile& file) const;

    QString m_path;
};

} // namespace senrokan
