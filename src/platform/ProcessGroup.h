// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

class QProcess;

namespace senrokan::platform
{

// A helper that starts processes of its own (a browser engine does) is started as the leader of
// a group of its own, so that ending it ends everything it started, even what it left behind.
// It also ends when this program ends, however this program ends.
void startInOwnGroup(QProcess& process);

// Kills the whole group of the process that was started as leader (its id, which a finished
// QProcess no longer tells) at once. Harmless when nothing of it is left.
void killGroup(QProcess& process, long long leader);

} // namespace senrokan::platform
