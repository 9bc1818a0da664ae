// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "NotificationArea.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSystemTrayIcon>
#include <QTextDocument>

namespace senrokan::platform
{

namespace
{

// The question is asked on the GUI thread before the icon exists: a watcher that owns its name
// but never answers must not hold up the start for longer than this.
constexpr int WatcherAnswerLimitMs = 1000;

} // namespace

bool itemTrayInUse()
{
    // Qt takes an item tray whenever a StatusNotifierWatcher with a host is on the session bus
    // (and the platform has a notification area at all), and keeps to it.
    static const bool inUse = [] {
        // Qt's own check waits for a watcher that never answers as long as Qt waits for any
        // call (25 s, once a run); the program's question after it waits no longer than the
        // limit.
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            return false;
        const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
        QDBusMessage get = QDBusMessage::createMethodCall(
            watcher, QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get.setArguments({watcher, QStringLiteral("IsStatusNotifierHostRegistered")});
        get.setAutoStartService(false);
        const QDBusMessage reply =
            QDBusConnection::sessionBus().call(get, QDBus::Block, WatcherAnswerLimitMs);
        return reply.type() == QDBusMessage::ReplyMessage &&
               reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
    }();
    return inUse;
}

QString iconTipText(const QString& text)
{
    // An item tray hands the tip to the desktop as a title, which it shows as plain text.
    return itemTrayInUse() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}

} // namespace senrokan::platform
