// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RouteState.h"

#include <QDateTime>
#include <QString>

namespace senrokan
{

// What ran a check: the timed cycle, a route's button "送信", or senrokan-check.
enum class CheckSource { Timed, Button, Checker };

// One route check as the record keeps it.
struct CheckRecord {
    QDateTime time; // when the verdict came, in UTC
    int route = 0;
    QString title; // the route's title at the time of the check
    int status = StatusNone;
    CheckSource source = CheckSource::Timed;
    QString coding;       // the coding the page was read in; empty when no page was read
    QString codingSource; // what settled it: bom, header, meta, xml, json, detected, default
    int fetchMs = 0;      // from the start of the check to its verdict, waits included
    QString reason = {};  // why the line was late as the check found it; empty when unknown

    bool operator==(const CheckRecord&) const = default;
};

// "timed", "button", "checker": the names the record and senrokan-check's JSON use.
QString checkSourceName(CheckSource source);
// The source of a name; Timed for a name it does not know.
CheckSource checkSourceFromName(const QString& name);

} // namespace senrokan
