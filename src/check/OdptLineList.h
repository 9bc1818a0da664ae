// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "feed/OdptApi.h"
#include "feed/OdptLines.h"

namespace senrokan
{

// The lines the ODPT API at access lists (only operatorId's when given, as a full or short id),
// read live from its odpt:Railway and odpt:Operator lists; when its base names no server (nothing
// is asked then), it cannot be reached, refuses or answers with anything but those lists, the
// list shipped with the program, with why. Runs a
// local event loop for at most timeoutMs per list; the answers' memory goes back to the system
// before it returns.
OdptLineList readOdptLines(const OdptAccess& access, const QString& operatorId = {},
                           int timeoutMs = 10000);

} // namespace senrokan
