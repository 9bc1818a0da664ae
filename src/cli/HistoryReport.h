// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/CheckRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace senrokan
{

// senrokan-check --history: the records in local time, one line each under a heading, columns
// aligned for a terminal (a Japanese character takes two columns).
QString historyTable(const QList<CheckRecord>& records);

// The same as a JSON array in the given order: time (ISO 8601 with the local offset), route,
// title, status, source, coding and codingSource (null when no page was read), fetchMs, reason
// (empty when none).
QByteArray historyJson(const QList<CheckRecord>& records);

} // namespace senrokan
