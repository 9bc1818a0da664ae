// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QTime>

namespace senrokan
{

// Reads a time of day: H:MM or HH:MM with optional :SS, full-width digits and colon allowed,
// optionally with AM/PM or 午前/午後 before or after. Anything else throws Failure(BadTimeOfDay).
QTime parseTimeOfDay(const QString& text);

// 1 when now lies within the window from..to (both ends inside, minute resolution), else -1.
// A window whose end hour is before its start hour runs past midnight; only hours decide that.
int InTimeWindow(const QString& from, const QString& to, QTime now);

} // namespace senrokan
