// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DesktopNotifier.h"

namespace senrokan::platform
{

namespace
{

// Systems without a freedesktop notification service: the popup and the icon are the report.
class NoDesktopNotifier : public DesktopNotifier
{
public:
    void showDelay(const QStringList&) override {}
    void showRecovery(const QStringList&) override {}
    void withdraw() override {}
    void end() override {}
};

} // namespace

std::unique_ptr<DesktopNotifier> makeDesktopNotifier()
{
    return std::make_unique<NoDesktopNotifier>();
}

} // namespace senrokan::platform
