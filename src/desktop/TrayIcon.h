// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "cycle/CycleDisplay.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <array>

namespace senrokan
{

// A delayed line as the icon's menu offers it: 今日は知らせない, ticked while it is kept quiet.
struct QuietEntry {
    int route = 0;
    QString title;
    bool quiet = false;

    bool operator==(const QuietEntry&) const = default;
};

// The program's one icon in the notification area: its four pictures, its tip, its double-click
// and its menu "設定" / "今すぐチェック" / "終了", then each delayed line's "…: 今日は知らせない".
// Clicks count only while TrayCallbackFlag is 1, that is from going resident until the main window
// is shown again from the icon. On a StatusNotifierItem tray a click counts as the double-click
// (those trays have none) and the tray draws the menu, whose entries are disabled while clicks do
// not count.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);

    // Puts the icon in place with the normal picture and the last tip set ("Senrokan" until a
    // check has told something) and makes its clicks count; calling it while the icon is there
    // leaves exactly one icon. When no notification area is there yet (a panel that starts after
    // the program), waits for one.
    void AddTrayIcon();
    void setPicture(TrayPicture picture);
    // What the icon's tip says: each watched route's state; empty for the program's name.
    void setTip(const QString& tip);
    QString tip() const { return m_icon.toolTip(); }
    // The delayed lines the menu offers to keep quiet, in route order, in place of the ones
    // before.
    void setQuietEntries(const QList<QuietEntry>& entries);
    // While a check runs, "今すぐチェック" cannot start another.
    void setChecking(bool checking);
    // Takes the icon away, as the program does when it ends.
    void remove();
    // The main window is shown: the icon stays, but its clicks and its menu stop counting.
    void windowShown() { setTrayCallbackFlag(0); }

    bool isPresent() const { return m_icon.isVisible(); }
    TrayPicture picture() const { return m_picture; }
    int trayCallbackFlag() const { return m_trayCallbackFlag; }
    QMenu* mnuMailCheck() { return &m_menu; }
    // The installed theme's picture by its name, so trays draw it at their own size; the
    // program's own picture where no theme has it.
    static QIcon icon(TrayPicture picture);

    // The main window is shown as by the menu's "設定": clicks stop counting until the program
    // goes resident again.
    void bringWindowBack();

    // How long to wait for a notification area to appear, and how often to look.
    void setHostWait(int limitMs, int everyMs);

Q_SIGNALS:
    // The main window is to be shown: double-click or "設定".
    void showWindowRequested();
    // "終了" in the menu.
    void exitRequested();
    // "今すぐチェック" in the menu: a timed check now.
    void checkNowRequested();
    // A line's "今日は知らせない" was ticked (quiet) or unticked.
    void quietRequested(int route, bool quiet);
    // No notification area came within the wait: nobody could reach a hidden window.
    void noTrayHost();

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void mnuSetting_Click();
    void mnuEndding_Click();
    void lookForHost();
    void setTrayCallbackFlag(int flag);
    void enableEntries();

    // Decided before the icon is made, as Qt decides which tray the icon goes to.
    const bool m_itemTray;
    QSystemTrayIcon m_icon;
    QMenu m_menu;
    QAction* m_checkNow = nullptr;
    QList<QAction*> m_quietEntries; // with the separator after them, when there are any
    QList<QuietEntry> m_quiet;
    QString m_tip;
    bool m_checking = false;
    QTimer m_hostWait;
    int m_hostWaitLimitMs = 60000;
    int m_hostWaitedMs = 0;
    TrayPicture m_picture = TrayPicture::Normal;
    int m_trayCallbackFlag = 0;
};

} // namespace senrokan
