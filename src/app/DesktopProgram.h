// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "check/CheckDisplay.h"
#include "check/RouteChecker.h"
#include "cycle/CheckCycle.h"
#include "cycle/CheckRound.h"
#include "cycle/CycleDisplay.h"
#include "desktop/Chime.h"
#include "history/CheckHistory.h"
#include "report/Reporter.h"
#include "route/RouteState.h"
#include "settings/RouteSettings.h"
#include "window/Form1.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace senrokan
{

namespace platform
{
class DesktopNotifier;
}

class Form3;
class SingleInstance;
class TrayIcon;

// The desktop program put together: it owns the routes and the services (the checker, the round
// of checks, the record, the reporter, the timed cycle, the icon in the notification area, the
// desktop notifications and the chime), makes the main window and hands it what it shows. The
// window shows and edits; what it asks for, this does. The cycle and the checks show themselves
// through this.
class DesktopProgram : public QObject, public CycleDisplay, public CheckDisplay
{
    Q_OBJECT
public:
    // Everything in the current folder: Senrokan.DEF, Senrokan.ini, Senrokan.db.
    DesktopProgram();
    ~DesktopProgram() override;

    // Start-up: the window reads the settings, the routes' states start over, and the program
    // goes to the notification area when the settings ask for it; else the window is shown.
    void start();
    // Later starts in this program's folder bring the window forward.
    void answerLaterStarts(const SingleInstance& instance);

    Form1& window() { return m_window; }
    RouteSettings& routes() { return m_routes; }
    const SettingsValues& settingsValues() const { return m_values; }
    RouteChecker& checker() { return m_checker; }
    CheckRound& round() { return m_round; }
    CheckCycle& cycle() { return m_cycle; }
    // The record of checks in the current directory, which the 履歴 page shows.
    CheckHistory& history() { return m_history; }
    TrayIcon& trayIcon() { return *m_trayIcon; }
    // The delay popup while it is loaded.
    Form3* form3() const;

    void addTrayIcon() override;
    void hideMainWindow() override;
    void setTrayPicture(TrayPicture picture) override;
    void showTrayStates(const RouteStates& states, const RoundTelling& telling) override;
    void selectSettingsPage() override;
    void showPopup(const QList<PopupEntry>& entries) override;
    void hidePopup() override;
    void setDelayNotice(const QStringList& lines) override;
    void setRecoveryNotice(const QStringList& lines) override;
    void playChime() override;
    std::optional<int> selectedIntervalMinutes() const override;

    void setStatusText(const QString& text) override;
    void setPageText(const QString& text) override;
    void setBusy(bool busy) override;
    void showMessage(const QString& prompt, const QString& title) override;
    bool askQuestion(const QString& prompt, const QString& title) override;
    void setMatchCount(const MatchCount& count) override;

Q_SIGNALS:
    // The program is to end now: the window was closed or an exit command ran.
    void programEnded();

private:
    // The button "送信" of route: one route checked, told in boxes, its page shown.
    void routeButton_Click(int route);
    // The icon's double-click or "設定", a later start, a failed save at "終了": the window
    // comes back and the icon's clicks stop counting.
    void showFromIcon();
    // A popup entry's button: the window comes back with the route's page in its web view.
    void showRoutePage(int route);
    // 今日は知らせない from the popup or the icon's menu: saved for the route until the end of
    // its day, or ended (quiet false); the icon and the popup say so.
    void keepQuiet(int route, bool quiet);
    void Form_Unload();
    // The desktop's notifications, made when first needed.
    platform::DesktopNotifier& notifier();

    SettingsValues m_values;
    RouteSettings m_routes;
    CheckHistory m_history;
    Reporter m_reporter;
    Form1 m_window;
    RouteChecker m_checker;
    CheckRound m_round;
    CheckCycle m_cycle;
    TrayIcon* m_trayIcon;
    QPointer<Form3> m_form3;
    std::unique_ptr<platform::DesktopNotifier> m_notifier;
    Chime m_chime;
    bool m_unloaded = false;
    int m_checkedRoute = 0; // the route a check runs for, 0 between rounds
};

} // namespace senrokan
