// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "FreedesktopNotifier.h"

#include <QDBusPendingCallWatcher>
#include <QVariantMap>

namespace senrokan::platform
{

namespace
{

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString ApplicationName = QStringLiteral("Senrokan");
const QString IconName = QStringLiteral("senrokan-delay");
const QString Summary = QStringLiteral("運行情報");
// Lets the desktop find the program's entry, where users silence it per application.
const QString DesktopEntry = QStringLiteral("senrokan");
// Choosing the notification itself; desktops that draw actions as buttons label it.
const QString DefaultAction = QStringLiteral("default");
const QString DefaultActionLabel = QStringLiteral("設定");
// As long as the delay popup stays up.
constexpr int ExpireMs = 180000;
// Only what is in flight when the program ends is waited for, and never longer than this.
constexpr int CallLimitMs = 5000;
constexpr int EndLimitMs = 1000;

QDBusMessage notificationsCall(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Service, method);
    call.setArguments(arguments);
    return call;
}

} // namespace

FreedesktopNotifier::FreedesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : DesktopNotifier(parent), m_bus(bus)
{
    m_bus.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(Service, Path, Service, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

void FreedesktopNotifier::showDelay(const QStringList& titles)
{
    if (m_ended || titles.isEmpty())
        return;
    m_wanted = titles;
    sendNext();
}

void FreedesktopNotifier::withdraw()
{
    if (m_ended)
        return;
    m_wanted = QStringList();
    sendNext();
}

void FreedesktopNotifier::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_wanted = QStringList();
    // The reply of a call in flight may bring the id of a notification to take away; its
    // handler then sends what is wanted.
    if (m_inFlight)
        m_inFlight->waitForFinished();
    else
        sendNext();
}

void FreedesktopNotifier::sendNext()
{
    if (m_inFlight || !m_wanted)
        return;
    if (m_wanted->isEmpty()) {
        m_wanted.reset();
        if (m_id == 0)
            return;
        const QDBusMessage close = notificationsCall(QStringLiteral("CloseNotification"), {m_id});
        m_id = 0;
        // The program is about to end: the message must leave before the connection goes.
        if (m_ended)
            m_bus.call(close, QDBus::Block, EndLimitMs);
        else
            m_bus.send(close);
        return;
    }
    if (!m_bodyMarkup) {
        start(notificationsCall(QStringLiteral("GetCapabilities")),
              &FreedesktopNotifier::onCapabilities);
        return;
    }
    QString body = m_wanted->join(QLatin1Char('\n'));
    m_wanted.reset();
    // Titles are shown as typed, also where the service would read "<" or "&" as markup.
    if (*m_bodyMarkup)
        body = body.toHtmlEscaped();
    const QVariantMap hints{{QStringLiteral("desktop-entry"), DesktopEntry}};
    start(notificationsCall(QStringLiteral("Notify"),
                            {ApplicationName, m_id, IconName, Summary, body,
                             QStringList{DefaultAction, DefaultActionLabel}, hints, ExpireMs}),
          &FreedesktopNotifier::onNotified);
}

void FreedesktopNotifier::start(const QDBusMessage& call, ReplyHandler handler)
{
    m_inFlight = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallLimitMs), this);
    connect(m_inFlight, &QDBusPendingCallWatcher::finished, this,
            [this, handler](QDBusPendingCallWatcher* watcher) {
                watcher->deleteLater();
                m_inFlight = nullptr;
                (this->*handler)(watcher->reply());
                sendNext();
            });
}

void FreedesktopNotifier::onCapabilities(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage) {
        // No service (or a broken one): this delay is not shown; the next one asks again.
        if (m_wanted && !m_wanted->isEmpty())
            m_wanted.reset();
        return;
    }
    m_bodyMarkup =
        reply.arguments().value(0).toStringList().contains(QStringLiteral("body-markup"));
}

void FreedesktopNotifier::onNotified(const QDBusMessage& reply)
{
    m_id = reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toUInt() : 0;
}

void FreedesktopNotifier::onActionInvoked(uint id, const QString& action)
{
    if (id != 0 && id == m_id && action == DefaultAction && !m_ended)
        Q_EMIT windowRequested();
}

void FreedesktopNotifier::onNotificationClosed(uint id, uint)
{
    // Gone by itself or by the user: the next delay is a new notification.
    if (id != 0 && id == m_id)
        m_id = 0;
}

std::unique_ptr<DesktopNotifier> makeDesktopNotifier()
{
    return std::make_unique<FreedesktopNotifier>(QDBusConnection::sessionBus());
}

} // namespace senrokan::platform
