#include "TrayIcon.h"

#include <QCursor>

namespace senrokan
{

namespace
{

const QString Tip = QStringLiteral("Senrokan");

} // namespace

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), m_icon(this)
{
    m_menu.setTitle(QStringLiteral("メールチェック"));
    m_menu.setObjectName(QStringLiteral("mnuMailCheck"));
    QAction* setting = m_menu.addAction(QStringLiteral("設定"), this, &TrayIcon::mnuSetting_Click);
    setting->setObjectName(QStringLiteral("mnuSetting"));
    QAction* ending = m_menu.addAction(QStringLiteral("終了"), this, &TrayIcon::mnuEndding_Click);
    ending->setObjectName(QStringLiteral("mnuEndding"));
    // The menu is shown by hand, not as the icon's own context menu: it must stay shut while
    // the icon's clicks do not count.
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
    m_hostWait.setInterval(1000);
    connect(&m_hostWait, &QTimer::timeout, this, &TrayIcon::lookForHost);
}

QIcon TrayIcon::icon(TrayPicture picture)
{
    switch (picture) {
    case TrayPicture::Normal:
        break;
    case TrayPicture::Delay:
        return QIcon(QStringLiteral(":/icons/senrokan-delay.svg"));
    case TrayPicture::Checking:
        return QIcon(QStringLiteral(":/icons/senrokan-checking.svg"));
    case TrayPicture::Error:
        return QIcon(QStringLiteral(":/icons/senrokan-error.svg"));
    }
    return QIcon(QStringLiteral(":/icons/senrokan.svg"));
}

void TrayIcon::setHostWait(int limitMs, int everyMs)
{
    m_hostWaitLimitMs = limitMs;
    m_hostWait.setInterval(everyMs);
}

void TrayIcon::AddTrayIcon()
{
    m_trayCallbackFlag = 1;
    setPicture(TrayPicture::Normal);
    m_icon.setToolTip(Tip);
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
        m_trayCallbackFlag = 0;
        Q_EMIT noTrayHost();
    }
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (m_trayCallbackFlag == 0)
        return;
    if (reason == QSystemTrayIcon::DoubleClick) {
        m_trayCallbackFlag = 0;
        Q_EMIT showWindowRequested();
    } else if (reason == QSystemTrayIcon::Context) {
        m_menu.popup(QCursor::pos());
    }
}

void TrayIcon::mnuSetting_Click()
{
    m_trayCallbackFlag = 0;
    Q_EMIT showWindowRequested();
}

void TrayIcon::mnuEndding_Click()
{
    Q_EMIT exitRequested();
}

} // namespace senrokan
