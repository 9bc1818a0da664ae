#pragma once

#include "BusConnection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariant>

namespace senrokan::test
{

// A StatusNotifierItem tray on a test's bus: the watcher that items register with, with a host
// registered, and the tray's side of an item: its properties, its clicks and its exported menu.
class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    // One entry of an item's menu as the tray draws it.
    struct MenuEntry {
        int id = 0;
        QString label;
        bool enabled = true;
    };

    // Connects to the bus at address and takes the watcher's name; false when it cannot.
    bool start(const QString& address);

    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    // The bus names of the registered items.
    QStringList items() const { return m_items; }

    // A property of the first registered item (org.kde.StatusNotifierItem).
    QVariant itemProperty(const QString& name) const;
    // Calls a method of the first item, e.g. Activate(x, y); the reply, or the error.
    QDBusMessage callItem(const QString& method, const QVariantList& arguments) const;
    // The entries of the item's menu; empty when it exports none.
    QList<MenuEntry> menu() const;
    // The tray's click on a menu entry: com.canonical.dbusmenu Event "clicked".
    QDBusMessage clickMenuEntry(int id) const;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message);
    void RegisterStatusNotifierHost(const QString& service);

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);

private:
    QDBusConnection bus() const { return m_connection.connection(); }

    BusConnection m_connection;
    QStringList m_items;
};

} // namespace senrokan::test
