// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LocalHost.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace senrokan::platform
{

QString localHostName()
{
    return QHostInfo::localHostName();
}

QString localIpAddress()
{
    return displayedIpAddress(QNetworkInterface::allAddresses());
}

QString displayedIpAddress(const QList<QHostAddress>& addresses)
{
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    }
    return QStringLiteral("127.0.0.1");
}

} // namespace senrokan::platform
