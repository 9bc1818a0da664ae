// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "CycleDisplay.h"
#include "RoundVerdicts.h"
#include "Telling.h"
#include "route/RouteState.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace senrokan
{

class CheckRound;

// The cycle's own periods. The program always runs with these; tests shorten them.
struct CycleTimings {
    int tickMs = 10000;      // Timer1 of the main window
    int popupTickMs = 10000; // Timer1 of the popup
    int popupTicks = 18;     // the popup goes after this many of its ticks
    int chimePauseMs = 500;  // between the three chimes
};

// The values the cycle counts with, shared with the tray and the popup.
struct CycleState {
    int CheckTickCount = 0;
    int DelayFoundFlag = 0;
    int PopupTickCount = 0;
};

// The timed check cycle: a tick every 10 seconds counts towards the interval; at the target all
// five routes are checked, the results reported, and the count restarts at once or after the
// delay popup has gone. Time is measured only in ticks. Checks never overlap: a tick that
// reaches the target while any check runs waits for the next tick.
class CheckCycle : public QObject
{
    Q_OBJECT
public:
    CheckCycle(CheckRound& round, SettingsValues& values, CycleDisplay& display,
               QObject* parent = nullptr);

    // The resident part of start-up, once the settings are read: into the notification area
    // and counting when the resident flag is set; the count at its target when a check is to
    // run at once.
    void startUp();
    // Going resident by the button: icon, hidden window, counting, the icon the last results
    // call for, and the count at its target when a check is to run at once.
    void goResident();
    void AddTrayIcon();
    void ApplyCheckInterval();
    void Timer1_Timer();
    // "今すぐチェック": the timed check now, as the tick at its target would run it (popup,
    // notification, reports, record), and the count restarted after it. Nothing while a check
    // runs or once the program ends.
    void checkNow();
    void ReportResults();
    // 今日は知らせない for route, until then (invalid: no longer), as saved: the icon's tip and
    // menu say so at once, and nothing of the line is told until the round that reads it after.
    void setQuietUntil(int route, const QDateTime& until);
    // The popup's own timer, and the user closing the popup: both restart the count.
    void Form3_Timer1_Timer();
    void Form3_Form_Unload();
    // Stops both timers for good: the program is ending, nothing of the cycle runs again.
    void end();

    // CheckIntervalMinutes x 6, held within 32 bits.
    int tickTarget() const;

    // What the last timed check tells of each route, 今日は知らせない set since included.
    const RoundTelling& telling() const { return m_telling; }
    CycleState& state() { return m_state; }
    const CycleState& state() const { return m_state; }
    bool isTimer1Running() const { return m_timer1.isActive(); }
    bool isPopupTimerRunning() const { return m_popupTimer.isActive(); }

    void setTimings(const CycleTimings& timings);
    // How the pauses between chimes pass; they hold the program without spinning.
    void setPause(std::function<void(int ms)> pause) { m_pause = std::move(pause); }

private:
    void presetCheckAtOnce();
    void restartCounting();

    CheckRound& m_round;
    SettingsValues& m_values;
    CycleDisplay& m_display;
    CycleTimings m_timings;
    CycleState m_state;
    QTimer m_timer1;
    QTimer m_popupTimer;
    std::function<void(int)> m_pause;
    bool m_ended = false;
    // What the last timed check tells of each route; none without a record to judge by.
    std::optional<RouteConfirmations> m_told;
    PerRoute<QString> m_toldTimes; // each route's check time in it
    // The routes the desktop notification told delayed and not yet recovered.
    PerRoute<bool> m_noticed{};
    // What the last timed check tells of each route by its telling rules, and the options it
    // was judged by.
    RoundTelling m_telling;
    RouteOptionsTable m_options;
};

} // namespace senrokan
