// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DesktopProgram.h"

#include "cycle/DelayReport.h"
#include "cycle/StatusSummary.h"
#include "desktop/SingleInstance.h"
#include "desktop/TrayIcon.h"
#include "platform/DesktopNotifier.h"
#include "platform/LocalFiles.h"
#include "route/RouteAddress.h"
#include "window/Form3.h"

namespace senrokan
{

namespace
{

QString startFolder()
{
    return platform::currentDirectory().value_or(QString());
}

} // namespace

DesktopProgram::DesktopProgram()
    : m_companion(startFolder()), m_history(startFolder()),
      m_window(m_values, m_history, m_reporter, m_companion), m_checker(m_window, m_window),
      m_round(m_checker, m_window), m_cycle(m_round, m_values, *this),
      m_trayIcon(new TrayIcon(this))
{
    m_round.setCompanion(&m_companion);
    m_round.setHistory(&m_history);
    m_round.setReporter(&m_reporter);
    connect(&m_window, &Form1::routeCheckRequested, this, &DesktopProgram::routeButton_Click);
    connect(&m_window, &Form1::residentRequested, &m_cycle, &CheckCycle::goResident);
    connect(&m_window, &Form1::summaryRequested, this,
            [this] { m_window.setPageText(statusSummaryText(m_round.states())); });
    connect(&m_window, &Form1::routesImported, this, [this] {
        for (int r = 1; r <= RouteCount; ++r) {
            RouteState& state = m_checker.states().at(r);
            state.Title = m_window.routeField(r, Title);
            state.CheckTime.clear();
            state.Status = StatusNone;
        }
    });
    // While the window is shown the icon's clicks do not count, whoever brought it forward.
    connect(&m_window, &Form1::shownFromIcon, m_trayIcon, &TrayIcon::windowShown);
    connect(&m_window, &Form1::closed, this, &DesktopProgram::Form_Unload);
    connect(m_trayIcon, &TrayIcon::showWindowRequested, this, &DesktopProgram::showFromIcon);
    connect(m_trayIcon, &TrayIcon::exitRequested, &m_window, &Form1::Command13_Click);
    connect(m_trayIcon, &TrayIcon::checkNowRequested, &m_cycle, &CheckCycle::checkNow);
    connect(&m_round, &CheckRound::started, this, [this] { m_trayIcon->setChecking(true); });
    connect(&m_round, &CheckRound::finished, this, [this] { m_trayIcon->setChecking(false); });
    // Hidden with no notification area to come back from, the program would be unreachable.
    connect(m_trayIcon, &TrayIcon::noTrayHost, this, &DesktopProgram::showFromIcon);
}

DesktopProgram::~DesktopProgram()
{
    delete m_form3;
}

void DesktopProgram::start()
{
    RouteStates& states = m_checker.states();
    for (int r = 1; r <= RouteCount; ++r)
        states.at(r).Status = StatusNone;
    m_window.Form_Load();
    for (int r = 1; r <= RouteCount; ++r)
        states.at(r).Title = m_window.routeField(r, Title);
    m_window.placeAt(m_companion.read().windowGeometry);
    m_cycle.startUp();
    if (m_values.ResidentFlag != 1)
        m_window.show();
}

void DesktopProgram::answerLaterStarts(const SingleInstance& instance)
{
    connect(&instance, &SingleInstance::activationRequested, this, &DesktopProgram::showFromIcon);
}

void DesktopProgram::showFromIcon()
{
    m_window.showFromIcon();
}

void DesktopProgram::routeButton_Click(int route)
{
    // The socket serves one check at a time: a click while any check runs does nothing.
    if (m_round.isRunning())
        return;
    const RoundResult result = m_round.run({CheckSource::Button, route, false, {}});
    // Ended in the middle of the check: nothing more is shown.
    if (result.ended || !result.last)
        return;
    // A timed round tells the tip as it tells the icon; this check tells it as it read.
    m_trayIcon->setTip(trayToolTip(m_round.namedByFields(result.states)));
    const bool feedOnly = m_round.checkedRoutes().routeField(route, ServerName).isEmpty() &&
                          !result.options[route].feed.isEmpty();
    m_window.showCheckedPage(route, result.last->pageText, feedOnly);
}

Form3* DesktopProgram::form3() const
{
    return m_form3;
}

void DesktopProgram::addTrayIcon()
{
    m_trayIcon->AddTrayIcon();
}

void DesktopProgram::hideMainWindow()
{
    m_window.hide();
}

void DesktopProgram::setTrayPicture(TrayPicture picture)
{
    m_trayIcon->setPicture(picture);
}

void DesktopProgram::showTrayStates(const RouteStates& states)
{
    m_trayIcon->setPicture(trayPictureFor(states));
    m_trayIcon->setTip(trayToolTip(states));
}

void DesktopProgram::selectSettingsPage()
{
    m_window.selectSettingsPage();
}

void DesktopProgram::showPopup(const QList<PopupEntry>& entries)
{
    // Loaded on the first report, and again after the user has closed it.
    if (!m_form3) {
        m_form3 = new Form3;
        m_form3->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_form3, &Form3::closed, &m_cycle, &CheckCycle::Form3_Form_Unload);
        connect(m_form3, &Form3::pageRequested, this, &DesktopProgram::showRoutePage);
    }
    m_form3->showReport(entries);
}

void DesktopProgram::showRoutePage(int route)
{
    // The page as the round read it: the fields may have been edited since.
    const QString page = pageAddresses(m_round.checkedRoutes())[route];
    if (page.isEmpty())
        return;
    m_trayIcon->bringWindowBack();
    m_window.showRoutePage(route, page);
}

void DesktopProgram::hidePopup()
{
    if (m_form3)
        m_form3->hide();
}

platform::DesktopNotifier& DesktopProgram::notifier()
{
    if (!m_notifier) {
        m_notifier = platform::makeDesktopNotifier();
        connect(m_notifier.get(), &platform::DesktopNotifier::windowRequested, m_trayIcon,
                &TrayIcon::bringWindowBack);
    }
    return *m_notifier;
}

void DesktopProgram::setDelayNotice(const QStringList& lines)
{
    // Made at the first delay: a program that never reports one never talks to the desktop.
    if (lines.isEmpty()) {
        if (m_notifier)
            m_notifier->withdraw();
        return;
    }
    notifier().showDelay(lines);
}

void DesktopProgram::setRecoveryNotice(const QStringList& lines)
{
    notifier().showRecovery(lines);
}

void DesktopProgram::playChime()
{
    m_chime.play();
}

std::optional<int> DesktopProgram::selectedIntervalMinutes() const
{
    return m_window.selectedIntervalMinutes();
}

void DesktopProgram::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Where the window was, for the next start; a window never shown has no place of its own.
    if (m_window.testAttribute(Qt::WA_WState_Created))
        // A place not kept costs only the place: nothing to tell at the end.
        m_companion.saveWindowGeometry(m_window.normalGeometry());
    // Nothing of the cycle runs after this, not even the popup's close handler.
    m_cycle.end();
    delete m_form3;
    m_checker.cancel();
    m_checker.closeSocket();
    if (m_notifier)
        m_notifier->end();
    m_trayIcon->remove();
    Q_EMIT programEnded();
}

} // namespace senrokan
