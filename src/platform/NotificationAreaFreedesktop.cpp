// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "NotificationArea.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QSystemTrayIcon>

namespace senrokan::platform
{

bool itemTrayInUse()
{
    // Qt takes an item tray whenever a StatusNotifierWatcher with a host is on the session bus
    // (and the platform has a notification area at all), and keeps to it.
    static const bool inUse = [] {
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        const QString watcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
        QDBusInterface watcher(watcherName, QStringLiteral("/StatusNotifierWatcher"), watcherName,
                               QDBusConnection::sessionBus());
        return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
    }();
    return inUse;
}

} // namespace senrokan::platform
