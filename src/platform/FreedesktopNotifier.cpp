// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "FreedesktopNotifier.h"

#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>
#include <QVariantMap>

#include <utility>

namespace senrokan::platform
{

namespace
{

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString ApplicationName = QStringLiteral("Senrokan");
const QString IconName = QStringLiteral("senrokan-delay");
const QString RecoveryIconName = QStringLiteral("senrokan");
const QString Summary = QStringLiteral("運行情報");
// Lets the desktop find the program's entry, where users silence it per application.
const QString DesktopEntry = QStringLiteral("senrokan");
// Choosing the notification itself; desktops that draw actions as buttons label it.
const QString DefaultAction = QStringLiteral("default");
const QString DefaultActionLabel = QStringLiteral("設定");
// As long as the delay popup stays up.
constexpr int ExpireMs = 180000;
// Good news needs only a glance.
constexpr int RecoveryExpireMs = 10000;
// A Notify's reply is read for as long as the notification would stay; after that it would
// have gone by itself.
constexpr int LateReplyLimitMs = ExpireMs;
// The end takes at most half a second: a reply still awaited gets most of it, the closing call
// the rest, time enough to leave before the connection goes.
constexpr int EndReplyLimitMs = 400;
constexpr int EndCloseLimitMs = 100;
constexpr int EndPollMs = 5;

QDBusMessage notificationsCall(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Service, method);
    call.setArguments(arguments);
    return call;
}

} // namespace

FreedesktopNotifier::FreedesktopNotifier(const QDBusConnection& bus, int answerLimitMs,
                                         QObject* parent)
    : DesktopNotifier(parent), m_bus(bus), m_answerLimitMs(answerLimitMs)
{
    m_bus.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(Service, Path, Service, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

void FreedesktopNotifier::showDelay(const QStringList& lines)
{
    if (m_ended || lines.isEmpty())
        return;
    m_wanted = lines;
    m_wantedRecovery = false;
    sendNext();
}

void FreedesktopNotifier::showRecovery(const QStringList& lines)
{
    if (m_ended || lines.isEmpty())
        return;
    m_wanted = lines;
    m_wantedRecovery = true;
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
    // handler then sends what is wanted. Past the limit the last good id is closed instead.
    if (m_inFlight && !awaitInFlight(EndReplyLimitMs))
        m_inFlight = nullptr;
    sendNext();
}

void FreedesktopNotifier::sendNext()
{
    if (m_inFlight || !m_wanted)
        return;
    if (m_wanted->isEmpty()) {
        m_wanted.reset();
        m_wantedSerial = 0;
        if (m_id != 0)
            close(std::exchange(m_id, 0));
        return;
    }
    if (!m_bodyMarkup) {
        start(
            notificationsCall(QStringLiteral("GetCapabilities")),
            [this](const QDBusMessage& reply) { onCapabilities(reply); }, m_answerLimitMs);
        return;
    }
    QString body = m_wanted->join(QLatin1Char('\n'));
    m_wanted.reset();
    const bool recovery = m_wantedRecovery;
    // Titles are shown as typed and reasons as the page or feed wrote them, also where the
    // service would read "<" or "&" as markup.
    if (*m_bodyMarkup)
        body = body.toHtmlEscaped();
    const QVariantMap hints{{QStringLiteral("desktop-entry"), DesktopEntry}};
    const quint64 serial = m_wantedSerial = ++m_notifySerial;
    start(
        notificationsCall(QStringLiteral("Notify"),
                          {ApplicationName, m_id, recovery ? RecoveryIconName : IconName, Summary,
                           body, QStringList{DefaultAction, DefaultActionLabel}, hints,
                           recovery ? RecoveryExpireMs : ExpireMs}),
        [this, serial](const QDBusMessage& reply) { onNotified(reply, serial); }, LateReplyLimitMs);
}

void FreedesktopNotifier::start(const QDBusMessage& call, const ReplyHandler& handler,
                                int replyLimitMs)
{
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, replyLimitMs), this);
    m_inFlight = watcher;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handler](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished == m_inFlight)
                    m_inFlight = nullptr;
                handler(finished->reply());
                sendNext();
            });
    // A reply awaited longer than the answer limit holds up nothing after it.
    if (replyLimitMs > m_answerLimitMs) {
        QTimer::singleShot(m_answerLimitMs, watcher, [this, watcher] {
            if (watcher != m_inFlight)
                return;
            m_inFlight = nullptr;
            sendNext();
        });
    }
}

bool FreedesktopNotifier::awaitInFlight(int limitMs)
{
    // Qt's D-Bus thread takes the reply in; waiting for it here, not in an event loop of its
    // own, lets nothing else of the ending program run meanwhile.
    const QDeadlineTimer deadline(limitMs);
    while (!m_inFlight->isFinished()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(EndPollMs);
    }
    m_inFlight->waitForFinished(); // hands the reply to its handler now
    return true;
}

void FreedesktopNotifier::close(uint id)
{
    const QDBusMessage call = notificationsCall(QStringLiteral("CloseNotification"), {id});
    // The program is about to end: the message must leave before the connection goes.
    if (m_ended)
        m_bus.call(call, QDBus::Block, EndCloseLimitMs);
    else
        m_bus.send(call);
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

void FreedesktopNotifier::onNotified(const QDBusMessage& reply, quint64 serial)
{
    // Only a uint32 other than 0 is an id; an error or a reply of another type tells nothing
    // about what the service shows, so the last good id stays.
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("u"))
        return;
    const uint id = reply.arguments().constFirst().toUInt();
    if (id == 0)
        return;
    if (serial == m_wantedSerial)
        m_id = id;
    else if (id != m_id)
        close(id); // came after a later Notify or a withdrawal: it must not stay
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
