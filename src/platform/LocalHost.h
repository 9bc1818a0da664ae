// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

namespace senrokan::platform
{

// This computer's name and address as the settings page shows them.
QString localHostName();
QString localIpAddress();

// The address shown for a list of the machine's addresses: the first IPv4 address that is not
// a loopback address, or "127.0.0.1" when there is none (a machine without a network).
QString displayedIpAddress(const QList<QHostAddress>& addresses);

} // namespace senrokan::platform
