// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QDateTime>
#include <QJsonArray>

namespace senrokan
{

// The verdict of ODPT train information (an array of odpt:TrainInformation records, as an
// operator's feed gives them) on the line whose odpt:railway is line. Each of its records (one
// per direction or section, or one for the whole line) tells a delay when it has a status whose
// text lacks matchWord, or any status when matchWord is empty; the reason is the delayed records'
// status followed by their odpt:trainInformationText. No record for the line fails: its id is wrong
// or the operator dropped it, which is no news of service. So does a record of the line whose
// dct:valid passed, or without one whose dc:date lies, more than an hour before now.
Verdict decideOdpt(const QJsonArray& records, const QString& line, const QString& matchWord,
                   const QDateTime& now);

} // namespace senrokan
