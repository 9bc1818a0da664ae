// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteDefinition.h"
#include "route/RouteState.h"

#include <QTime>

namespace senrokan
{

// How a page's text reads: its source (markup), a JSON reply (searched with its string escapes
// decoded), or the text as the browser shows it.
enum class PageForm { Source, Json, Shown };

// The verdict on a page that was obtained: StatusOutOfHours when both valid-hours fields are set
// and now lies outside them; otherwise StatusNormal when MatchWord occurs (within the section
// from SubtitleStart to SubtitleEnd when SubtitleStart is set), else StatusDelayed. A
// SubtitleEnd missing after the start is a delay; a SubtitleStart missing from the page is
// StatusConnectFailed, with a reason naming the marker.
// A delay found with both markers on the page has a reason: the text between them (tags dropped
// from a source), blanks folded; any other delay, and a normal verdict, has none.
Verdict decideStatus(const RouteDefinition& route, const QString& pageText, QTime now,
                     PageForm form = PageForm::Source);

// Whether now lies outside the route's valid hours: never when none are set or they cannot be
// read, so such a route is watched all day.
bool outOfHours(const RouteDefinition& route, QTime now);

// Which valid-hours field cannot be read as a time, quoting it, and what is done instead; empty
// when both read or the hours are not set.
QString validHoursProblem(const RouteDefinition& route);

// How often the match word occurs in the text a verdict searches: the section (sectioned) or the
// whole page. A word that occurs more than once on a whole page may have matched another line's
// row.
struct MatchCount {
    QString word;
    qsizetype count = 0;
    bool sectioned = false;
    // The section's markers (SubtitleStart, SubtitleEnd) when sectioned.
    QString sectionStart = {};
    QString sectionEnd = {};
};

// The occurrences of MatchWord, each begun within the section as decideStatus finds it (within
// the page when SubtitleStart is empty), found as decideStatus finds them and counted without
// overlapping. An empty word occurs nowhere, and nothing occurs in a section whose start is
// missing from the page.
MatchCount countMatchWord(const RouteDefinition& route, const QString& pageText,
                          PageForm form = PageForm::Source);

// Whether text occurs in the page as the match word would be found.
bool pageHolds(const QString& pageText, const QString& text, PageForm form = PageForm::Source);

// The count in one line for the user, with the way to a section when the page has the word more
// than once.
QString matchCountNotice(const MatchCount& count);

} // namespace senrokan
