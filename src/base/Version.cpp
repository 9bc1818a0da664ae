// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Version.h"

namespace senrokan
{

const char* packageVersion()
{
    return SENROKAN_VERSION;
}

} // namespace senrokan
