// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CycleDisplay.h"

#include "DelayReport.h"

namespace senrokan
{

void CycleDisplay::showTrayStates(const RouteStates& states, const RoundTelling&)
{
    setTrayPicture(trayPictureFor(states));
}

} // namespace senrokan
