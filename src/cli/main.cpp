// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan-check: the timed check of all routes, without a window; or the record of checks.
#include "CheckerReports.h"
#include "HistoryReport.h"
#include "LineCommands.h"
#include "calendar/CheckDays.h"
#include "calendar/Holidays.h"
#include "check/RouteChecker.h"
#include "cycle/CheckRound.h"
#include "cycle/StatusSummary.h"
#include "history/CheckHistory.h"
#include "platform/LocalFiles.h"
#include "program/CommandLine.h"
#include "report/Reporter.h"
#include "route/StatusWords.h"
#include "settings/RouteSettings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace senrokan;

namespace
{

constexpr int ExitUsage = 64;
constexpr int ExitSettings = 3;

const char Usage[] = "usage: senrokan-check [--settings FILE] [--route N] [--json] [--verbose]\n"
                     "                      [--notify] [--notify-url URL]...\n"
                     "       senrokan-check --history [--days N] [--route N] [--json]\n"
                     "       senrokan-check --holidays YEAR\n"
                     "       senrokan-check --lines [OPERATOR]\n"
                     "       senrokan-check --use-line N ID\n"
                     "       senrokan-check --quiet-today N\n";

QByteArray help()
{
    return helpText(
        Usage, "Check the routes of a Senrokan settings file once and print their status.",
        {{"--settings FILE", "read FILE instead of Senrokan.DEF in the current directory"},
         {"--route N", "check only route N, 1 to 5"},
         {"--json", "print the routes as a JSON array instead of the summary"},
         {"--verbose", "write each route's progress to standard error"},
         {"--notify", "report changes of state to the targets of Senrokan.ini"},
         {"--notify-url URL", "report to URL too in this run (repeatable); implies --notify"},
         {"--history", "check nothing; print the record of checks (Senrokan.db), oldest first"},
         {"--days N", "with --history: the last N days, 1 to 400 (7 unless given)"},
         {"--holidays YEAR",
          "check nothing; print Japan's national holidays of YEAR, 2000 to 2099"},
         {"--lines [OPERATOR]", "check nothing; print the ODPT API's railways (of OPERATOR only)"},
         {"--use-line N ID", "check nothing; make route N the railway ID (odpt.Railway:...)"},
         {"--quiet-today N",
          "check nothing; tell nothing of route N until the end of its day (QuietUntil=)"}},
        {{"0", "no route is delayed and every route could be reached"},
         {"1", "a route is delayed"},
         {"2", "no route is delayed, but a route could not be reached"},
         {"3", "the settings file cannot be read or ends early, the record may not be read, "
               "or --use-line or --quiet-today is refused"},
         {"64", "a wrong argument"}});
}

// Text for a terminal, as UTF-8: a server's reason phrase, a route title or a file name may carry
// escape sequences that would retitle or reprogram the terminal. Control characters other than
// the line end and the tab become U+FFFD.
QByteArray terminalText(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\n' && u != u'\t') || (u >= 0x7F && u < 0xA0))
            c = QChar::ReplacementCharacter;
    }
    return shown.toUtf8();
}

// Progress goes to stderr when asked for; a headless check never opens a box.
class TerminalDisplay : public CheckDisplay
{
public:
    bool verbose = false;
    int route = 0;

    void setStatusText(const QString& text) override { say(text); }
    void setFailureDetail(const QString& detail) override { say(detail); }
    void setSettingProblem(const QString& problem) override
    {
        // Said whether asked or not, as Senrokan.ini's unreadable values are.
        std::fprintf(stderr, "senrokan-check: route %d: %s\n", route,
                     terminalText(problem).constData());
    }
    void setPageCoding(const CodingDecision& decision) override
    {
        say(QStringLiteral("coding ") + describeCoding(decision));
    }
    void setRenderOutcome(const RenderedPage& page) override
    {
        // Said whether asked or not: the route is not read the way its owner chose.
        if (page.noEngine)
            std::fprintf(stderr, "senrokan-check: route %d: read from its bytes: %s\n", route,
                         terminalText(page.detail).constData());
        else if (verbose && page.ok)
            std::fprintf(stderr, "route %d: rendered in %d ms\n", route, page.ms);
    }
    void setMatchCount(const MatchCount& count) override { say(matchCountNotice(count)); }
    void setPageText(const QString&) override {}
    void setBusy(bool) override {}
    void showMessage(const QString&, const QString&) override {}

private:
    void say(const QString& text) const
    {
        if (verbose)
            std::fprintf(stderr, "route %d: %s\n", route, terminalText(text).constData());
    }
};

struct Options {
    QString settingsPath;
    int route = 0; // 0 = all
    bool json = false;
    bool verbose = false;
    bool history = false;
    int days = 0; // 0 = not given
    bool notify = false;
    QStringList notifyUrls;
    int holidayYear = 0; // 0 = not asked
    bool lines = false;
    QString linesOperator;
    int useLineRoute = 0; // 0 = not asked
    QString useLineId;
    int quietRoute = 0; // 0 = not asked
};

// Returns -1 to go on, else the exit status.
int parseArguments(const QStringList& args, Options& options)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (answerInfoOption(arg.toLocal8Bit(), "senrokan-check", help()))
            return 0;
        if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (arg == QLatin1String("--verbose")) {
            options.verbose = true;
        } else if (arg == QLatin1String("--history")) {
            options.history = true;
        } else if (arg == QLatin1String("--days") && i + 1 < args.size()) {
            bool ok = false;
            options.days = args.at(++i).toInt(&ok);
            if (!ok || options.days < 1 || options.days > HistoryKeptDays) {
                std::fprintf(stderr, "senrokan-check: --days takes 1 to %d\n%s", HistoryKeptDays,
                             Usage);
                return ExitUsage;
            }
        } else if (arg == QLatin1String("--holidays")) {
            bool ok = false;
            options.holidayYear = i + 1 < args.size() ? args.at(++i).toInt(&ok) : 0;
            if (!ok || options.holidayYear < FirstHolidayYear ||
                options.holidayYear > LastHolidayYear) {
                std::fprintf(stderr, "senrokan-check: --holidays takes a year, %d to %d\n%s",
                             FirstHolidayYear, LastHolidayYear, Usage);
                return ExitUsage;
            }
        } else if (arg == QLatin1String("--lines")) {
            options.lines = true;
            if (i + 1 < args.size() && !args.at(i + 1).startsWith(u'-'))
                options.linesOperator = args.at(++i);
        } else if (arg == QLatin1String("--use-line")) {
            bool ok = false;
            options.useLineRoute = i + 2 < args.size() ? args.at(++i).toInt(&ok) : 0;
            if (!ok || !isRouteIndex(options.useLineRoute)) {
                std::fprintf(stderr,
                             "senrokan-check: --use-line takes a route, 1 to 5, and a railway "
                             "id\n%s",
                             Usage);
                return ExitUsage;
            }
            options.useLineId = args.at(++i);
        } else if (arg == QLatin1String("--quiet-today")) {
            bool ok = false;
            options.quietRoute = i + 1 < args.size() ? args.at(++i).toInt(&ok) : 0;
            if (!ok || !isRouteIndex(options.quietRoute)) {
                std::fprintf(stderr, "senrokan-check: --quiet-today takes a route, 1 to 5\n%s",
                             Usage);
                return ExitUsage;
            }
        } else if (arg == QLatin1String("--notify")) {
            options.notify = true;
        } else if (arg == QLatin1String("--notify-url") && i + 1 < args.size()) {
            options.notify = true;
            options.notifyUrls << args.at(++i);
        } else if (arg == QLatin1String("--settings") && i + 1 < args.size()) {
            options.settingsPath = args.at(++i);
        } else if (arg == QLatin1String("--route") && i + 1 < args.size()) {
            bool ok = false;
            options.route = args.at(++i).toInt(&ok);
            if (!ok || !isRouteIndex(options.route)) {
                std::fprintf(stderr, "senrokan-check: --route takes 1 to 5\n%s", Usage);
                return ExitUsage;
            }
        } else {
            std::fprintf(stderr, "senrokan-check: unknown argument '%s'\n%s",
                         terminalText(arg).constData(), Usage);
            return ExitUsage;
        }
    }
    if (options.days != 0 && !options.history) {
        std::fprintf(stderr, "senrokan-check: --days goes with --history\n%s", Usage);
        return ExitUsage;
    }
    return -1;
}

// The record's one message about its file, on stderr.
void tellOnStderr(const CheckHistory& history)
{
    QObject::connect(&history, &CheckHistory::notice, [](const QString& text) {
        std::fprintf(stderr, "senrokan-check: %s\n", terminalText(text).constData());
    });
}

void writeOut(const QByteArray& out)
{
    QFile stdoutFile;
    stdoutFile.open(stdout, QIODevice::WriteOnly | QIODevice::Text);
    stdoutFile.write(out);
    stdoutFile.flush();
}

// --history: the records of the last days, oldest first; no check runs.
int printHistory(const Options& options, const QString& dir)
{
    CheckHistory history(dir);
    tellOnStderr(history);
    const QDateTime since =
        QDateTime::currentDateTimeUtc().addDays(-(options.days ? options.days : 7));
    const std::optional<QList<CheckRecord>> records = history.records(since, options.route);
    if (!records)
        return ExitSettings;
    writeOut(options.json ? historyJson(*records) : terminalText(historyTable(*records)));
    return 0;
}

// What a command without a check has to say, said.
int finish(const CommandOutcome& outcome)
{
    writeOut(terminalText(outcome.out));
    for (const QString& text : outcome.told)
        std::fprintf(stderr, "senrokan-check: %s\n", terminalText(text).constData());
    return outcome.exit;
}

// --holidays: the year's holidays, one "YYYY-MM-DD 名前" a line, to set beside the official list.
int printHolidays(int year)
{
    QString text;
    for (const Holiday& holiday : holidaysOf(year))
        text += holiday.date.toString(Qt::ISODate) + u' ' + holiday.name + u'\n';
    writeOut(text.toUtf8());
    return 0;
}

// --quiet-today: route's line told nothing until the end of its day, as 今日は知らせない does.
int quietToday(const QString& dir, int route)
{
    const CompanionSettings companion(dir);
    const CompanionValues values = companion.read();
    if (!values.unreadable.isEmpty()) {
        std::fprintf(stderr, "senrokan-check: %s\n", terminalText(values.unreadable).constData());
        return ExitSettings;
    }
    const QDateTime until = dayEnd(values.routes[route], QDateTime::currentDateTime());
    if (const SettingsWrite saved = companion.saveQuietUntil(route, until); !saved.done) {
        std::fprintf(stderr, "senrokan-check: %s\n", terminalText(saved.failure).constData());
        return ExitSettings;
    }
    writeOut(QStringLiteral("路線%1 は %2 まで知らせません\n")
                 .arg(route)
                 .arg(until.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
                 .toUtf8());
    return 0;
}

QByteArray jsonReport(const RouteStates& states, const RoundTelling& telling)
{
    QJsonArray routes;
    for (int r = 1; r <= RouteCount; ++r) {
        routes.append(QJsonObject{{QStringLiteral("route"), r},
                                  {QStringLiteral("title"), states[r].Title},
                                  {QStringLiteral("status"), states[r].Status},
                                  {QStringLiteral("checkTime"), states[r].CheckTime},
                                  {QStringLiteral("reason"), states[r].Reason},
                                  {QStringLiteral("notice"), states[r].Notice},
                                  {QStringLiteral("told"), telling[r].told},
                                  {QStringLiteral("whyNotTold"), telling[r].whyNot}});
    }
    return QJsonDocument(routes).toJson(QJsonDocument::Indented);
}

// The tray icon's priority: a delay outranks a failed connection.
int outcomeStatus(const RouteStates& states)
{
    switch (overallStatus(states)) {
    case StatusDelayed:
        return 1;
    case StatusConnectFailed:
        return 2;
    default:
        return 0;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    if (const int exit = parseArguments(app.arguments(), options); exit >= 0)
        return exit;

    if (options.holidayYear != 0)
        return printHolidays(options.holidayYear);
    const QString dir = platform::currentDirectory().value_or(QString());
    if (options.history)
        return printHistory(options, dir);
    if (options.lines)
        return finish(listLines(dir, options.linesOperator));
    if (options.useLineRoute != 0)
        return finish(useLine(dir, options.useLineRoute, options.useLineId));
    if (options.quietRoute != 0)
        return quietToday(dir, options.quietRoute);
    RouteSettings routes(dir);
    if (const SettingsRead read = routes.load(dir, options.settingsPath); !read.complete) {
        std::fprintf(stderr, "senrokan-check: %s\n", terminalText(read.failureText()).constData());
        return ExitSettings;
    }

    TerminalDisplay display;
    display.verbose = options.verbose;
    RouteChecker checker(display);
    CheckHistory history(dir);
    tellOnStderr(history);
    QStringList problems;
    routes.options(&problems);
    for (const QString& problem : problems)
        std::fprintf(stderr, "senrokan-check: %s\n", terminalText(problem).constData());
    Reporter reporter;
    tellDeliveries(reporter, [](const QString& text) {
        std::fprintf(stderr, "senrokan-check: 通知: %s\n", terminalText(text).constData());
    });
    CheckRound round(checker, routes);
    round.startOver();
    round.setCompanion(&routes.companion());
    round.setHistory(&history);
    round.setReporter(&reporter);
    // Each route's progress is told under its number.
    QObject::connect(&checker, &RouteChecker::checkStarted,
                     [&display](int route) { display.route = route; });
    const RoundResult result =
        round.run({CheckSource::Checker, options.route, options.notify, options.notifyUrls});

    QByteArray out;
    if (options.json) {
        out = jsonReport(result.states, result.telling);
    } else {
        // Text mode turns "\n" into the platform's line end.
        out = terminalText(
            statusSummaryText(result.states).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
    writeOut(out);
    // The exit status tells the routes, whatever became of the reports.
    awaitDeliveries(reporter);
    return outcomeStatus(result.states);
}
