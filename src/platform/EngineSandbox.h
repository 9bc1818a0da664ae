// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ThisProcess.h"

#include <QByteArray>
#include <QtGlobal>

namespace senrokan::platform
{

// Whether Qt WebEngine may be started. Its sandbox refuses to run as root, and switching the
// sandbox off is for the user to choose, never the program: disableSandbox is whether
// QTWEBENGINE_DISABLE_SANDBOX is set, chromiumFlags the value of QTWEBENGINE_CHROMIUM_FLAGS.
inline bool engineSandboxAllows(bool root, bool disableSandbox, const QByteArray& chromiumFlags)
{
    return !root || disableSandbox || chromiumFlags.split(' ').contains("--no-sandbox");
}

// The same for this process, from its user and environment.
inline bool engineSandboxAllowsThisProcess()
{
    return engineSandboxAllows(runningAsRoot(),
                               qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"),
                               qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"));
}

} // namespace senrokan::platform
