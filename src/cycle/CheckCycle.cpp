// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckCycle.h"

#include "CheckRound.h"
#include "DelayReport.h"
#include "RoundVerdicts.h"
#include "route/RouteAddress.h"
#include "route/RouteDefinition.h"

#include <QThread>

#include <algorithm>
#include <limits>

namespace senrokan
{

CheckCycle::CheckCycle(CheckRound& round, SettingsValues& values, CycleDisplay& display,
                       QObject* parent)
    : QObject(parent), m_round(round), m_values(values), m_display(display),
      m_pause([](int ms) { QThread::msleep(ms); })
{
    // Created stopped: only going resident starts the count. The periods are set at once, so
    // that no path can ever start a timer of period 0, which would fire without pause.
    connect(&m_timer1, &QTimer::timeout, this, &CheckCycle::Timer1_Timer);
    connect(&m_popupTimer, &QTimer::timeout, this, &CheckCycle::Form3_Timer1_Timer);
    setTimings(m_timings);
}

void CheckCycle::setTimings(const CycleTimings& timings)
{
    m_timings = timings;
    m_timer1.setInterval(m_timings.tickMs);
    m_popupTimer.setInterval(m_timings.popupTickMs);
}

void CheckCycle::startUp()
{
    if (m_values.ResidentFlag == 1) {
        AddTrayIcon();
        m_display.hideMainWindow();
        ApplyCheckInterval();
    }
    // Also without resident mode: the count then waits at its target for going resident.
    presetCheckAtOnce();
}

void CheckCycle::goResident()
{
    AddTrayIcon();
    m_display.hideMainWindow();
    if (!m_timer1.isActive())
        ApplyCheckInterval();
    // As the last timed check told it; a route checked by hand since, as it read.
    RouteStates shown = m_round.states();
    const RouteStates told = toldStates(shown, m_told);
    for (int r = 1; r <= RouteCount; ++r)
        if (shown[r].CheckTime == m_toldTimes[r])
            shown[r] = told[r];
    m_display.showTrayStates(m_round.namedByFields(shown), m_telling);
    presetCheckAtOnce();
}

void CheckCycle::AddTrayIcon()
{
    m_display.addTrayIcon();
    m_state.DelayFoundFlag = 0;
}

void CheckCycle::ApplyCheckInterval()
{
    if (const std::optional<int> minutes = m_display.selectedIntervalMinutes())
        m_values.CheckIntervalMinutes = *minutes;
    m_timer1.setInterval(m_timings.tickMs);
    m_state.CheckTickCount = 0;
    m_timer1.start();
}

int CheckCycle::tickTarget() const
{
    // A hand-edited interval may be any 32-bit number; its product must not wrap around.
    const qint64 ticks = qint64(m_values.CheckIntervalMinutes) * 6;
    return int(std::clamp<qint64>(ticks, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

void CheckCycle::Timer1_Timer()
{
    if (m_state.CheckTickCount < std::numeric_limits<int>::max())
        ++m_state.CheckTickCount;
    if (m_state.CheckTickCount < tickTarget())
        return;
    // The socket serves one check at a time: a check already running holds this one back to
    // the next tick.
    if (m_round.isRunning())
        return;

    m_display.setTrayPicture(TrayPicture::Checking);
    m_timer1.stop();
    // The reports go in the background: the popup and the next count do not wait for them.
    const RoundResult round = m_round.run({CheckSource::Timed, 0, true, {}});
    if (round.ended)
        return;
    m_told = round.told;
    m_telling = round.telling;
    m_options = round.options;
    for (int r = 1; r <= RouteCount; ++r)
        m_toldTimes[r] = round.states[r].CheckTime;
    m_display.selectSettingsPage();
    m_state.DelayFoundFlag = 0;
    ReportResults();
    if (m_state.DelayFoundFlag == 1) {
        // Going resident during the check may have restarted the count; while the popup is up
        // no timed check runs.
        m_timer1.stop();
        m_state.PopupTickCount = 0;
        m_popupTimer.start();
    } else {
        m_state.CheckTickCount = 0;
        m_timer1.start();
    }
}

void CheckCycle::checkNow()
{
    if (m_ended || m_round.isRunning())
        return;
    // A popup still up tells the last check: this one replaces it, and holds the count anew.
    if (m_popupTimer.isActive()) {
        m_popupTimer.stop();
        m_display.hidePopup();
    }
    m_state.CheckTickCount = tickTarget();
    Timer1_Timer();
}

void CheckCycle::ReportResults()
{
    // A delay not yet read as often as its route asks is not told.
    const RouteStates states = toldStates(m_round.states(), m_told);
    // Everything that tells calls a route by its title as it stands: a title typed today counts.
    const RouteStates named = m_round.namedByFields(states);
    // The popup, the chime and the notification tell only what the routes' telling rules let
    // through; the icon and its tip show every route as it reads.
    const RouteStates told = toldOnly(named, m_telling);
    m_noticed = withoutQuiet(m_noticed, m_telling);
    m_state.DelayFoundFlag = 0;
    const QList<PopupEntry> entries = popupEntries(told, pageAddresses(m_round.checkedRoutes()));
    // A line told delayed has its recovery told when it next reads normal, whatever failed
    // checks, other lines' delays or delays not told came between.
    const QStringList recovered = recoveryNotice(told, m_noticed);
    for (int r = 1; r <= RouteCount; ++r)
        m_noticed[r] =
            told[r].Status == StatusDelayed || (m_noticed[r] && told[r].Status != StatusNormal);
    if (!entries.isEmpty()) {
        m_state.DelayFoundFlag = 1;
        m_display.showPopup(entries);
        m_display.setDelayNotice(delayNotice(told) + recovered);
        if (m_values.MelodyFlag == 1) {
            m_display.playChime();
            m_pause(m_timings.chimePauseMs);
            m_display.playChime();
            m_pause(m_timings.chimePauseMs);
            m_display.playChime();
        }
    } else if (recovered.isEmpty()) {
        m_display.setDelayNotice({});
    } else {
        m_display.setRecoveryNotice(recovered);
    }
    m_display.showTrayStates(named, m_telling);
}

void CheckCycle::setQuietUntil(int route, const QDateTime& until)
{
    if (!isRouteIndex(route))
        return;
    m_options[route].quietUntil = until;
    m_telling[route] = roundTelling(m_round.states(), m_options, m_told)[route];
    m_noticed = withoutQuiet(m_noticed, m_telling);
    m_display.showTrayStates(m_round.namedByFields(toldStates(m_round.states(), m_told)),
                             m_telling);
}

void CheckCycle::Form3_Timer1_Timer()
{
    ++m_state.PopupTickCount;
    if (m_state.PopupTickCount < m_timings.popupTicks)
        return;
    restartCounting();
    m_display.hidePopup();
    m_state.DelayFoundFlag = 0;
}

void CheckCycle::Form3_Form_Unload()
{
    if (m_ended)
        return;
    m_state.DelayFoundFlag = 0;
    restartCounting();
}

void CheckCycle::end()
{
    m_ended = true;
    m_round.end();
    m_timer1.stop();
    m_popupTimer.stop();
}

void CheckCycle::presetCheckAtOnce()
{
    if (m_values.CheckOnResidentFlag == 1)
        m_state.CheckTickCount = tickTarget();
}

void CheckCycle::restartCounting()
{
    m_state.CheckTickCount = 0;
    m_timer1.start();
    m_state.PopupTickCount = 0;
    m_popupTimer.stop();
}

} // namespace senrokan
