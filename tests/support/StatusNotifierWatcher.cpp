#include "StatusNotifierWatcher.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace senrokan::test
{

namespace
{

const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString ItemPath = QStringLiteral("/StatusNotifierItem");
const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");
constexpr int CallLimitMs = 10000;

// One node of a dbusmenu layout, (ia{sv}av), and its children in order.
void readLayout(const QDBusArgument& node, QList<StatusNotifierWatcher::MenuEntry>& entries,
                bool isRoot)
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

} // namespace

bool StatusNotifierWatcher::start(const QString& address)
{
    return m_connection.offer(address, this, QStringLiteral("/StatusNotifierWatcher"),
                              QStringLiteral("org.kde.StatusNotifierWatcher"),
                              QDBusConnection::ExportAllSlots |
                                  QDBusConnection::ExportAllSignals |
                                  QDBusConnection::ExportAllProperties);
}

void StatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service,
                                                       const QDBusMessage& message)
{
    // Items name either their bus name or only their object path.
    const QString name = service.startsWith(QLatin1Char('/')) ? message.service() : service;
    if (!m_items.contains(name))
        m_items << name;
    Q_EMIT StatusNotifierItemRegistered(name);
}

void StatusNotifierWatcher::RegisterStatusNotifierHost(const QString&) {}

QVariant StatusNotifierWatcher::itemProperty(const QString& name) const
{
    if (m_items.isEmpty())
        return {};
    QDBusMessage get = QDBusMessage::createMethodCall(
        m_items.first(), ItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get.setArguments({ItemInterface, name});
    const QDBusMessage reply = bus().call(get, QDBus::Block, CallLimitMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QDBusMessage StatusNotifierWatcher::callItem(const QString& method,
                                             const QVariantList& arguments) const
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(m_items.value(0), ItemPath, ItemInterface, method);
    call.setArguments(arguments);
    return bus().call(call, QDBus::Block, CallLimitMs);
}

QList<StatusNotifierWatcher::MenuEntry> StatusNotifierWatcher::menu() const
{
    const QString path = itemProperty(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    if (path.isEmpty() || path == QStringLiteral("/NO_DBUSMENU"))
        return {};
    QDBusMessage getLayout = QDBusMessage::createMethodCall(m_items.first(), path, MenuInterface,
                                                            QStringLiteral("GetLayout"));
    getLayout.setArguments({0, -1, QStringList()});
    const QDBusMessage reply = bus().call(getLayout, QDBus::Block, CallLimitMs);
    QList<MenuEntry> entries;
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2)
        readLayout(reply.arguments().at(1).value<QDBusArgument>(), entries, true);
    return entries;
}

QDBusMessage StatusNotifierWatcher::clickMenuEntry(int id) const
{
    const QString path = itemProperty(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    QDBusMessage event = QDBusMessage::createMethodCall(m_items.value(0), path, MenuInterface,
                                                        QStringLiteral("Event"));
    event.setArguments({id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)),
                        uint(0)});
    return bus().call(event, QDBus::Block, CallLimitMs);
}

} // namespace senrokan::test
