// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <optional>

class QDBusPendingCallWatcher;

namespace senrokan::platform
{

// Desktop notifications over org.freedesktop.Notifications. Every call is asynchronous, and
// one at a time: what is asked meanwhile waits, and only the latest wish is sent, so a slow
// service sees one notification replace the other and never two side by side.
class FreedesktopNotifier : public DesktopNotifier
{
    Q_OBJECT
public:
    explicit FreedesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    void showDelay(const QStringList& titles) override;
    void withdraw() override;
    void end() override;

    // The service's id of the notification shown, 0 when none is.
    uint notificationId() const { return m_id; }

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);

private:
    using ReplyHandler = void (FreedesktopNotifier::*)(const QDBusMessage&);

    void sendNext();
    void start(const QDBusMessage& call, ReplyHandler handler);
    void onCapabilities(const QDBusMessage& reply);
    void onNotified(const QDBusMessage& reply);

    QDBusConnection m_bus;
    // What the desktop is to show next: titles, an empty list for nothing, none when it shows
    // what was asked last.
    std::optional<QStringList> m_wanted;
    // Whether the service reads the body as markup; unknown until it has been asked.
    std::optional<bool> m_bodyMarkup;
    QDBusPendingCallWatcher* m_inFlight = nullptr;
    uint m_id = 0;
    bool m_ended = false;
};

} // namespace senrokan::platform
