// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

#include <functional>

namespace senrokan
{

class Reporter;

// --notify: every failed delivery and every target that cannot be used is told through tell,
// its secrets masked.
void tellDeliveries(Reporter& reporter, const std::function<void(const QString&)>& tell);

// Waits for the reports under way, each bounded in time.
void awaitDeliveries(Reporter& reporter);

} // namespace senrokan
