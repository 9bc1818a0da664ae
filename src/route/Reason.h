// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QStringView>

namespace senrokan
{

// A reason is shown in a status field, a popup, a notification and a report.
constexpr qsizetype MaxReasonLength = 200;

// Text from a page or a feed that says why a line is late, made fit to show anywhere: a line
// break (any of Unicode's, blanks and empty lines around it included) becomes one "\n", control
// and format characters blanks, other runs of blanks one, the ends trimmed, half a surrogate pair
// U+FFFD, and at most MaxReasonLength characters kept (the last one "…" when cut). It stays plain
// text: whoever shows it where markup is read escapes it there.
QString foldReason(QStringView text);

// text cut to at most length characters, its last one "…" when anything was left out; never
// half of a surrogate pair.
QString cutWithEllipsis(QStringView text, qsizetype length);

// A folded reason for a place that has one line for it (the status field, a list's cell): its
// lines joined with " / ".
QString reasonOnOneLine(const QString& reason);

// A reason's first words for a glance (the icon's tip): its lines joined with blanks, at most
// words characters and "…" after them when it goes on.
QString reasonFirstWords(const QString& reason, qsizetype words);

// "遅延 — 人身事故の影響で…": text followed by the reason when there is one; the one way a
// line of a report, a notification or the status field carries it.
QString withReason(const QString& text, const QString& reason);

// A name from the network (a line's title, an operator's, an id) made fit to print or store on one
// line: folded as a reason is, its line breaks blanks too.
QString foldName(QStringView text);

} // namespace senrokan
