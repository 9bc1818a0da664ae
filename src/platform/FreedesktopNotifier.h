// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <functional>
#include <optional>

class QDBusPendingCallWatcher;

namespace senrokan::platform
{

// Desktop notifications over org.freedesktop.Notifications. Every call is asynchronous, and
// one at a time: what is asked meanwhile waits, and only the latest wish is sent, so a slow
// service sees one notification replace the other and never two side by side. A service that
// takes longer than the answer limit holds nothing up any more; a notification's id that comes
// after that is still read, and the notification closed when it is no longer wanted.
class FreedesktopNotifier : public DesktopNotifier
{
    Q_OBJECT
public:
    static constexpr int AnswerLimitMs = 5000;

    explicit FreedesktopNotifier(const QDBusConnection& bus, int answerLimitMs = AnswerLimitMs,
                                 QObject* parent = nullptr);

    void showDelay(const QStringList& lines) override;
    void showRecovery(const QStringList& lines) override;
    void withdraw() override;
    void end() override;

    // The service's id of the notification shown (the last usable one it gave), 0 when none
    // is.
    uint notificationId() const { return m_id; }

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);

private:
    using ReplyHandler = std::function<void(const QDBusMessage&)>;

    void sendNext();
    void start(const QDBusMessage& call, const ReplyHandler& handler, int replyLimitMs);
    bool awaitInFlight(int limitMs);
    void close(uint id);
    void onCapabilities(const QDBusMessage& reply);
    void onNotified(const QDBusMessage& reply, quint64 serial);

    QDBusConnection m_bus;
    int m_answerLimitMs;
    // What the desktop is to show next: lines, an empty list for nothing, none when it shows
    // what was asked last.
    std::optional<QStringList> m_wanted;
    bool m_wantedRecovery = false; // the lines wanted tell a recovery
    // Whether the service reads the body as markup; unknown until it has been asked.
    std::optional<bool> m_bodyMarkup;
    // The call that holds up the next one, if any.
    QDBusPendingCallWatcher* m_inFlight = nullptr;
    // Notify calls are numbered; the one whose notification is wanted, 0 for none.
    quint64 m_notifySerial = 0;
    quint64 m_wantedSerial = 0;
    // The last id the service gave, kept when a reply is of no use: the next Notify replaces
    // it and a clean check closes it.
    uint m_id = 0;
    bool m_ended = false;
};

} // namespace senrokan::platform
