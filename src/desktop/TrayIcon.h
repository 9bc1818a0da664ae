#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

namespace senrokan
{

// The program's one icon in the notification area. For now it is only put in place and taken
// away; its menu, double-click and changing pictures come with resident operation.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(const QIcon& normalIcon, QObject* parent = nullptr);

    // Puts the icon in place with the normal picture and the tip "Senrokan"; calling it while
    // the icon is there leaves exactly one icon.
    void AddTrayIcon();
    // Takes the icon away, as the program does when it ends.
    void remove();

    bool isPresent() const { return m_icon.isVisible(); }
    // 1 while the icon's clicks are to be acted on.
    int trayCallbackFlag() const { return m_trayCallbackFlag; }

private:
    QIcon m_normalIcon;
    QSystemTrayIcon m_icon;
    int m_trayCallbackFlag = 0;
};

} // namespace senrokan
