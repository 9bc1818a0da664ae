// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "BusConnection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace senrokan::test
{

// A desktop notification service (org.freedesktop.Notifications) on a test's bus that keeps
// every call it gets and plays the user's part: choosing an action, closing by itself. It can
// answer a Notify as a misbehaving service does: late, with an error, or with the wrong type.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
        uint id = 0; // the id it answered
    };

    enum class Answer {
        Id,     // the notification's id, at once
        Late,   // the id, but only when sendLateAnswer() is called
        Error,  // an error, the notification shown all the same
        String, // a string: the decimal digits of another number than the id
    };

    explicit NotificationServer(QStringList capabilities = {"actions", "body"})
        : m_capabilities(std::move(capabilities))
    {
    }

    // Connects to the bus at address and takes the service's name; false when it cannot.
    bool start(const QString& address)
    {
        return m_connection.offer(address, this, QStringLiteral("/org/freedesktop/Notifications"),
                                  QStringLiteral("org.freedesktop.Notifications"),
                                  QDBusConnection::ExportAllSlots |
                                      QDBusConnection::ExportAllSignals);
    }

    QList<Notice> notices;
    QList<uint> closed; // ids in CloseNotification calls
    int capabilityCalls = 0;
    QList<Answer> answers; // how the next Notify calls are answered, in turn; then with Id

    // Sends the answer held back for the last Notify answered Late.
    void sendLateAnswer() { m_connection.connection().send(m_lateAnswer); }

    // The user chose the action of notification id; as desktops do, the notification goes then
    // (reason 2, dismissed by the user).
    void invokeAction(uint id, const QString& action)
    {
        Q_EMIT ActionInvoked(id, action);
        Q_EMIT NotificationClosed(id, 2);
    }

public Q_SLOTS:
    QStringList GetCapabilities()
    {
        ++capabilityCalls;
        return m_capabilities;
    }
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout, const QDBusMessage& call)
    {
        const uint id = replacesId != 0 ? replacesId : ++m_lastId;
        notices.append({appName, replacesId, icon, summary, body, actions, hints, timeout, id});
        const Answer answer = answers.isEmpty() ? Answer::Id : answers.takeFirst();
        if (answer != Answer::Id) {
            call.setDelayedReply(true);
            if (answer == Answer::Late)
                m_lateAnswer = call.createReply(id);
            else if (answer == Answer::Error)
                m_connection.connection().send(call.createErrorReply(
                    QStringLiteral("org.freedesktop.DBus.Error.Failed"), QStringLiteral("busy")));
            else
                m_connection.connection().send(call.createReply(QString::number(id + 1)));
        }
        return id;
    }
    void CloseNotification(uint id)
    {
        closed << id;
        Q_EMIT NotificationClosed(id, 3);
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    QStringList m_capabilities;
    BusConnection m_connection;
    uint m_lastId = 0;
    QDBusMessage m_lateAnswer;
};

} // namespace senrokan::test
