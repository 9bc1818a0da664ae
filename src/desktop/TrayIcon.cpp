#include "TrayIcon.h"

namespace senrokan
{

TrayIcon::TrayIcon(const QIcon& normalIcon, QObject* parent)
    : QObject(parent), m_normalIcon(normalIcon), m_icon(this)
{
}

void TrayIcon::AddTrayIcon()
{
    m_trayCallbackFlag = 1;
    m_icon.setIcon(m_normalIcon);
    m_icon.setToolTip(QStringLiteral("Senrokan"));
    m_icon.show();
}

void TrayIcon::remove()
{
    m_icon.hide();
}

} // namespace senrokan
