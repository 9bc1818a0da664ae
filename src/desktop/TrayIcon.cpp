// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "TrayIcon.h"

#include "platform/NotificationArea.h"

#include <QCursor>

namespace senrokan
{

namespace
{

const QString Tip = QStringLiteral("Senrokan");

} // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent), m_itemTray(platform::itemTrayInUse()), m_icon(this)
{
    m_menu.setTitle(QStringLiteral("メールチェック"));
    m_menu.setObjectName(QStringLiteral("mnuMailCheck"));
    QAction* setting = m_menu.addAction(QStringLiteral("設定"), this, &TrayIcon::mnuSetting_Click);
    setting->setObjectName(QStringLiteral("mnuSetting"));
    m_checkNow =
        m_menu.addAction(QStringLiteral("今すぐチェック"), this, &TrayIcon::checkNowRequested);
    m_checkNow->setObjectName(QStringLiteral("mnuCheckNow"));
    QAction* ending = m_menu.addAction(QStringLiteral("終了"), this, &TrayIcon::mnuEndding_Click);
    ending->setObjectName(QStringLiteral("mnuEndding"));
    // An X11 tray gets the menu shown by hand, not as the icon's own context menu: it must
    // stay shut while the icon's clicks do not count. An item tray draws the menu itself, and
    // nothing else can: under Wayland the program cannot place a menu at the pointer.
    if (m_itemTray)
        m_icon.setContextMenu(&m_menu);
    setTrayCallbackFlag(0);
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
    m_hostWait.setInterval(1000);
    connect(&m_hostWait, &QTimer::timeout, this, &TrayIcon::lookForHost);
}

QIcon TrayIcon::icon(TrayPicture picture)
{
    QString name = QStringLiteral("senrokan");
    switch (picture) {
    case TrayPicture::Normal:
        break;
    case TrayPicture::Delay:
        name = QStringLiteral("senrokan-delay");
        break;
    case TrayPicture::Checking:
        name = QStringLiteral("senrokan-checking");
        break;
    case TrayPicture::Error:
        name = QStringLiteral("senrokan-error");
        break;
    }
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
}

void TrayIcon::setHostWait(int limitMs, int everyMs)
{
    m_hostWaitLimitMs = limitMs;
    m_hostWait.setInterval(everyMs);
}

void TrayIcon::AddTrayIcon()
{
    setTrayCallbackFlag(1);
    setPicture(TrayPicture::Normal);
    m_icon.setToolTip(m_tip.isEmpty() ? Tip : m_tip);
    m_icon.show();
    if (!QSystemTrayIcon::isSystemTrayAvailable() && !m_hostWait.isActive()) {
        m_hostWaitedMs = 0;
        m_hostWait.start();
    }
}

void TrayIcon::setPicture(TrayPicture picture)
{
    m_picture = picture;
    m_icon.setIcon(icon(picture));
}

void TrayIcon::setTip(const QString& tip)
{
    // A reason from a page may hold anything, markup too.
    m_tip = tip.isEmpty() ? QString() : platform::iconTipText(tip);
    m_icon.setToolTip(m_tip.isEmpty() ? Tip : m_tip);
}

void TrayIcon::setQuietEntries(const QList<QuietEntry>& entries)
{
    // A tray that draws the menu itself is told only of a change.
    if (entries == m_quiet)
        return;
    m_quiet = entries;
    // Later: the entry chosen may be the one that asked for the change.
    for (QAction* old : std::as_const(m_quietEntries)) {
        m_menu.removeAction(old);
        old->deleteLater();
    }
    m_quietEntries.clear();
    // After the program's own entries, which keep their places.
    if (!entries.isEmpty())
        m_quietEntries << m_menu.addSeparator();
    for (const QuietEntry& entry : entries) {
        auto* action = new QAction(entry.title + QStringLiteral(": 今日は知らせない"), &m_menu);
        action->setObjectName(QStringLiteral("mnuQuiet%1").arg(entry.route));
        action->setCheckable(true);
        action->setChecked(entry.quiet);
        connect(action, &QAction::triggered, this,
                [this, route = entry.route](bool quiet) { Q_EMIT quietRequested(route, quiet); });
        m_menu.addAction(action);
        m_quietEntries << action;
    }
    enableEntries();
}

void TrayIcon::setChecking(bool checking)
{
    m_checking = checking;
    enableEntries();
}

void TrayIcon::remove()
{
    m_hostWait.stop();
    m_icon.hide();
}

void TrayIcon::lookForHost()
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_hostWait.stop();
        // Qt does not always notice a notification area that comes after the icon was shown:
        // showing it again puts it there.
        m_icon.hide();
        m_icon.show();
        return;
    }
    m_hostWaitedMs += m_hostWait.interval();
    if (m_hostWaitedMs >= m_hostWaitLimitMs) {
        m_hostWait.stop();
        // The window is shown instead; as when it is shown from the icon, clicks stop counting.
        setTrayCallbackFlag(0);
        Q_EMIT noTrayHost();
    }
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (m_trayCallbackFlag == 0)
        return;
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        bringWindowBack();
        break;
    case QSystemTrayIcon::Trigger:
        // An item tray's Activate; on an X11 tray, the first click of a double-click.
        if (m_itemTray)
            bringWindowBack();
        break;
    case QSystemTrayIcon::Context:
        if (!m_itemTray)
            m_menu.popup(QCursor::pos());
        break;
    default:
        break;
    }
}

void TrayIcon::bringWindowBack()
{
    setTrayCallbackFlag(0);
    Q_EMIT showWindowRequested();
}

void TrayIcon::setTrayCallbackFlag(int flag)
{
    m_trayCallbackFlag = flag;
    enableEntries();
}

void TrayIcon::enableEntries()
{
    for (QAction* entry : m_menu.actions())
        entry->setEnabled(m_trayCallbackFlag == 1 && !(entry == m_checkNow && m_checking));
}

void TrayIcon::mnuSetting_Click()
{
    bringWindowBack();
}

void TrayIcon::mnuEndding_Click()
{
    Q_EMIT exitRequested();
}

} // namespace senrokan
