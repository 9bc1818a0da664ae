// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QDateTime>
#include <QJsonArray>

namespace senrokan
{

// The verdict of ODPT train information (an array of odpt:TrainInformation records, as an
// operator's feed gives them) on the line whose odpt:railway is line.
//
// The line's newest records by dc:date speak for it alone (a server that keeps the day's history
// lists older ones, which they supersede); all of them when none is dated. Each (one per
// direction or section, or one for the whole line) tells a delay when it has a status whose text
// lacks matchWord, or any status when matchWord is empty; a status of お知らせ is a notice. The
// reason is the status followed by the odpt:trainInformationText. Such a record whose dct:valid
// passed, or without one whose dc:date lies, more than an hour before now fails.
//
// Some operators list every line, others only the troubled ones. A line without a record runs
// normally when the answer holds no record of its operator that reads normal (the note says so);
// it fails when one does (its id is wrong, or the operator dropped it), and when the answer
// cannot speak for its operator: askedOperator, the odpt:operator the feed's address asks for
// (empty when none; several with commas), names others, or every record is another operator's.
Verdict decideOdpt(const QJsonArray& records, const QString& line, const QString& matchWord,
                   const QDateTime& now, const QString& askedOperator);

} // namespace senrokan
