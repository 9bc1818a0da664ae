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

struct Verdict {
    Status status = StatusNone;
    QString reason; // why the line is late, folded; empty when the page does not say
};

// The verdict on a page that was obtained: StatusOutOfHours when both valid-hours fields are set
// and now lies outside them; otherwise StatusNormal when MatchWord occurs (within the section
// from SubtitleStart to SubtitleEnd when SubtitleStart is set), else StatusDelayed.
// An unreadable time or a SubtitleStart missing from the page throws Failure.
// A delay found with both markers on the page has a reason: the text between them (tags dropped
// from a source), blanks folded; any other verdict has none.
Verdict decideStatus(const RouteDefinition& route, const QString& pageText, QTime now,
                     PageForm form = PageForm::Source);

} // namespace senrokan
