// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DesktopProgram.h"

#include "calendar/CheckDays.h"
#include "check/OdptLineList.h"
#include "cycle/DelayReport.h"
#include "cycle/StatusSummary.h"
#include "desktop/SingleInstance.h"
#include "desktop/TrayIcon.h"
#include "platform/DesktopNotifier.h"
#include "platform/LocalFiles.h"
#include "route/RouteAddress.h"
#include "route/Watching.h"
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
    : m_routes(startFolder()), m_history(startFolder()),
      m_window(m_values, m_routes, m_history,
               [](const OdptAccess& access) { return readOdptLines(access); }),
      m_checker(*this), m_round(m_checker, m_routes), m_cycle(m_round, m_values, *this),
      m_trayIcon(new TrayIcon(this))
{
    m_round.setCompanion(&m_routes.companion());
    m_round.setHistory(&m_history);
    m_round.setReporter(&m_reporter);
    connect(&m_window, &Form1::routeCheckRequested, this, &DesktopProgram::routeButton_Click);
    connect(&m_window, &Form1::residentRequested, &m_cycle, &CheckCycle::goResident);
    connect(&m_window, &Form1::summaryRequested, this, [this] {
        m_window.setPageText(statusSummaryText(m_round.namedByFields(m_round.states())));
    });
    connect(&m_window, &Form1::routesImported, &m_round, &CheckRound::startOver);
    connect(&m_window, &Form1::testReportRequested, this,
            [this] { m_reporter.sendTest(m_routes.companion().read().targets); });
    connect(&m_reporter.sender(), &ReportSender::delivered, this,
            [this](const ReportTarget& target, const DeliveryOutcome& outcome) {
                m_window.showReportOutcome(target.text, outcome.delivered, outcome.error);
            });
    connect(&m_reporter.sender(), &ReportSender::idle, this,
            [this] { m_window.showReportMessage(QString()); });
    connect(&m_reporter, &Reporter::problem, &m_window, &Form1::showReportMessage);
    // While the window is shown the icon's clicks do not count, whoever brought it forward.
    connect(&m_window, &Form1::shownFromIcon, m_trayIcon, &TrayIcon::windowShown);
    connect(&m_window, &Form1::closed, this, &DesktopProgram::Form_Unload);
    connect(m_trayIcon, &TrayIcon::showWindowRequested, this, &DesktopProgram::showFromIcon);
    connect(m_trayIcon, &TrayIcon::exitRequested, &m_window, &Form1::Command13_Click);
    connect(m_trayIcon, &TrayIcon::checkNowRequested, &m_cycle, &CheckCycle::checkNow);
    connect(m_trayIcon, &TrayIcon::quietRequested, this, &DesktopProgram::keepQuiet);
    connect(&m_round, &CheckRound::started, this, [this] { m_trayIcon->setChecking(true); });
    connect(&m_round, &CheckRound::finished, this, [this] {
        m_trayIcon->setChecking(false);
        m_checkedRoute = 0;
    });
    // What a check shows goes under its route's tab.
    connect(&m_checker, &RouteChecker::checkStarted, this,
            [this](int route) { m_checkedRoute = route; });
    // Hidden with no notification area to come back from, the program would be unreachable.
    connect(m_trayIcon, &TrayIcon::noTrayHost, this, &DesktopProgram::showFromIcon);
}

DesktopProgram::~DesktopProgram()
{
    delete m_form3;
}

void DesktopProgram::start()
{
    m_window.Form_Load();
    m_round.startOver();
    m_window.placeAt(m_routes.companion().read().windowGeometry);
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
    m_trayIcon->setTip(trayToolTip(m_round.namedByFields(result.states), m_cycle.telling()));
    m_window.showCheckedPage(
        route, result.last->pageText,
        readsOnlyFeed(m_round.checkedRoutes().routeDefinition(route), result.options[route]));
    // The section started where the user chose, the route is checked again.
    if (!result.last->sectionStart.isEmpty()) {
        m_window.setRouteField(route, SubtitleStart, result.last->sectionStart);
        routeButton_Click(route);
    }
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

void DesktopProgram::showTrayStates(const RouteStates& states, const RoundTelling& telling)
{
    m_trayIcon->setPicture(trayPictureFor(states));
    m_trayIcon->setTip(trayToolTip(states, telling));
    QList<QuietEntry> quiet;
    for (int r = 1; r <= RouteCount; ++r)
        if (states[r].Status == StatusDelayed)
            quiet.append({r, states[r].Title, telling[r].quiet});
    m_trayIcon->setQuietEntries(quiet);
}

void DesktopProgram::keepQuiet(int route, bool quiet)
{
    const QDateTime until =
        quiet ? dayEnd(m_routes.options()[route], QDateTime::currentDateTime()) : QDateTime();
    if (const SettingsWrite saved = m_routes.companion().saveQuietUntil(route, until);
        !saved.done) {
        m_window.showMessage(saved.failure, QStringLiteral("今日は知らせない"));
        return;
    }
    m_cycle.setQuietUntil(route, until);
    if (m_form3)
        m_form3->markQuiet(route, quiet);
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
        connect(m_form3, &Form3::quietRequested, this,
                [this](int route) { keepQuiet(route, true); });
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

void DesktopProgram::setStatusText(const QString& text)
{
    m_window.setStatusText(text, m_checkedRoute);
}

void DesktopProgram::setPageText(const QString& text)
{
    m_window.setPageText(text, m_checkedRoute);
}

void DesktopProgram::setBusy(bool busy)
{
    m_window.setBusy(busy);
}

void DesktopProgram::showMessage(const QString& prompt, const QString& title)
{
    m_window.showMessage(prompt, title);
}

bool DesktopProgram::askQuestion(const QString& prompt, const QString& title)
{
    return m_window.askQuestion(prompt, title);
}

void DesktopProgram::setMatchCount(const MatchCount& count)
{
    m_window.showMatchCount(matchCountNotice(count), count.word, count.sectionStart,
                            count.sectionEnd, m_checkedRoute);
}

void DesktopProgram::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Where the window was, for the next start; a window never shown has no place of its own.
    if (m_window.testAttribute(Qt::WA_WState_Created))
        // A place not kept costs only the place: nothing to tell at the end.
        m_routes.companion().saveWindowGeometry(m_window.normalGeometry());
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
