// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

namespace senrokan
{

// The package's version ("1.0.0"), as --version and the reports' User-Agent give it.
const char* packageVersion();

} // namespace senrokan
