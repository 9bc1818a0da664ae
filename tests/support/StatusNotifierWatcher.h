// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "BusConnection.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
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
    bool start(const QString& address)
    {
        return m_connection.offer(address, this, QStringLiteral("/StatusNotifierWatcher"),
                                  QStringLiteral("org.kde.StatusNotifierWatcher"),
                                  QDBusConnection::ExportAllSlots |
                                      QDBusConnection::ExportAllSignals |
                                      QDBusConnection::ExportAllProperties);
    }

    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    // The bus names of the registered items.
    QStringList items() const { return m_items; }

    // A property of the first registered item (org.kde.StatusNotifierItem).
    QVariant itemProperty(const QString& name) const
    {
        const QDBusMessage reply = call(ItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {ItemInterface, name});
        if (reply.type() != QDBusMessage::ReplyMessage)
            return {};
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    // The title of the first item's tip, (sa(iiay)ss): what a tray shows on hovering.
    QString toolTipTitle() const
    {
        const QDBusArgument tip = itemProperty(QStringLiteral("ToolTip")).value<QDBusArgument>();
        QString icon, title, subTitle;
        tip.beginStructure();
        tip >> icon;
        tip.beginArray();
        while (!tip.atEnd()) {
            int width = 0, height = 0;
            QByteArray pixels;
            tip.beginStructure();
            tip >> width >> height >> pixels;
            tip.endStructure();
        }
        tip.endArray();
        tip >> title >> subTitle;
        tip.endStructure();
        return title;
    }
    // Calls a method of the first item, e.g. Activate(x, y); the reply, or the error.
    QDBusMessage callItem(const QString& method, const QVariantList& arguments) const
    {
        return call(ItemPath, ItemInterface, method, arguments);
    }
    // The entries of the item's menu; empty when it exports none.
    QList<MenuEntry> menu() const
    {
        const QString path = menuPath();
        if (path.isEmpty() || path == QStringLiteral("/NO_DBUSMENU"))
            return {};
        const QDBusMessage reply =
            call(path, MenuInterface, QStringLiteral("GetLayout"), {0, -1, QStringList()});
        QList<MenuEntry> entries;
        if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2)
            readLayout(reply.arguments().at(1).value<QDBusArgument>(), entries, true);
        return entries;
    }
    // The tray's click on a menu entry: com.canonical.dbusmenu Event "clicked".
    QDBusMessage clickMenuEntry(int id) const
    {
        return call(menuPath(), MenuInterface, QStringLiteral("Event"),
                    {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), uint(0)});
    }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message)
    {
        // Items name either their bus name or only their object path.
        const QString name = service.startsWith(QLatin1Char('/')) ? message.service() : service;
        if (!m_items.contains(name))
            m_items << name;
        Q_EMIT StatusNotifierItemRegistered(name);
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);

private:
    static inline const QString ItemPath = QStringLiteral("/StatusNotifierItem");
    static inline const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
    static inline const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");

    // A blocking call to the first item's object at path; the reply, or the error.
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments) const
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(m_items.value(0), path, interface, method);
        message.setArguments(arguments);
        return m_connection.connection().call(message, QDBus::Block, 10000);
    }
    QString menuPath() const
    {
        return itemProperty(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    }
    // One node of a dbusmenu layout, (ia{sv}av), and its children in order.
    static void readLayout(const QDBusArgument& node, QList<MenuEntry>& entries, bool isRoot)
    {
        int id = 0;
        QVariantMap properties;
        node.beginStructure();
        node >> id >> properties;
        if (!isRoot) {
            entries.append({id, properties.value(QStringLiteral("label")).toString(),
                            properties.value(QStringLiteral("enabled"), true).toBool()});
        }
        node.beginArray();
        while (!node.atEnd()) {
            QDBusVariant child;
            node >> child;
            readLayout(child.variant().value<QDBusArgument>(), entries, false);
        }
        node.endArray();
        node.endStructure();
    }

    BusConnection m_connection;
    QStringList m_items;
};

} // namespace senrokan::test
