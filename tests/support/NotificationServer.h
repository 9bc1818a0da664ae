#pragma once

#include "BusConnection.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace senrokan::test
{

// A desktop notification service (org.freedesktop.Notifications) on a test's bus that keeps
// every call it gets and plays the user's part: choosing an action, closing by itself.
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

    explicit NotificationServer(QStringList capabilities = {"actions", "body"});

    // Connects to the bus at address and takes the service's name; false when it cannot.
    bool start(const QString& address);

    QList<Notice> notices;
    QList<uint> closed; // ids in CloseNotification calls
    int capabilityCalls = 0;

    // The user chose the action of notification id.
    void invokeAction(uint id, const QString& action);

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout);
    void CloseNotification(uint id);

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    QStringList m_capabilities;
    BusConnection m_connection;
    uint m_lastId = 0;
};

} // namespace senrokan::test
