// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "SettingsFile.h"
#include "feed/OdptLines.h"

#include <QString>

namespace senrokan
{

// Makes route (1 to 5) of the folder dir the line (useOdptLine) in its files: the route's block of
// Senrokan.DEF and its section of Senrokan.ini, every other value, route and line of both kept as
// it was; a folder without Senrokan.DEF gets one. Refused while the desktop program has the
// folder (it would write Senrokan.DEF over at its end), and while Senrokan.DEF hands the routes
// to a priority railway file (a change there would never be read).
SettingsWrite useLineInFolder(const QString& dir, int route, const OdptLine& line);

} // namespace senrokan
