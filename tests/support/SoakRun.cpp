// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SoakRun.h"

#include "CountingCycleDisplay.h"
#include "Pages.h"
#include "ProcessFigures.h"
#include "ScriptedServer.h"
#include "platform/MemoryTuning.h"

#include "check/RouteChecker.h"
#include "codec/Converter.h"
#include "cycle/CheckCycle.h"
#include "cycle/CheckRound.h"

#include <QEventLoop>
#include <QTimer>

namespace senrokan::test
{

namespace
{

using Send = ScriptedServer::Send;
using Pause = ScriptedServer::Pause;

const QString Word = QStringLiteral("平常運転");

QByteArray page(const char* coding, const char* declaration, const QString& body)
{
    return encoded(coding, html(metaFor(QString::fromLatin1(declaration)), body));
}

// Shows nothing and keeps nothing: a recording display would hold every page of the run.
class QuietDisplay : public CheckDisplay
{
public:
    void setStatusText(const QString&) override {}
    void setPageText(const QString&) override {}
    void setBusy(bool) override {}
    void showMessage(const QString&, const QString&) override {}
};

SoakSample sample(int cycle)
{
    return {cycle, residentKiB(), openDescriptors()};
}

} // namespace

SoakFigures SoakRun::run()
{
    // As the program does at start.
    platform::keepLargeBuffersApart();
    ScriptedServer server;
    // Only the program's memory is measured, not a record of its requests.
    server.forgetRequests();
    const QString normal = QStringLiteral("<p>現在、平常運転です。</p>");
    server.onRequest(QStringLiteral("/normal.html"),
                     ScriptedServer::reply("200 OK", page(coding::Cp932, "shift_jis", normal)));
    const QByteArray late = page(coding::Cp932, "shift_jis", QStringLiteral("<p>運転見合わせ</p>"));
    server.onRequest(
        QStringLiteral("/late.html"),
        {Pause{5}, Send{"HTTP/1.0 200 OK\r\n\r\n" + late.left(40)}, Pause{5}, Send{late.mid(40)}});
    server.onRequest(QStringLiteral("/failing.html"),
                     ScriptedServer::reply("500 Internal Server Error", "down"));
    server.onRequest(QStringLiteral("/oversized.html"),
                     {Send{"HTTP/1.0 200 OK\r\n\r\n"}, ScriptedServer::Flood{4LL << 20}});
    server.onRequest(QStringLiteral("/fetched.html"), ScriptedServer::reply("403 Forbidden", "x"));
    server.onFetch(QStringLiteral("/fetched.html"),
                   ScriptedServer::reply("200 OK", page(coding::Utf8, "utf-8", normal)));

    RouteTable table;
    const char* paths[] = {"normal.html", "late.html", "failing.html", "oversized.html",
                           "fetched.html"};
    for (int r = 1; r <= RouteCount; ++r) {
        table.setRouteField(r, ServerName, QStringLiteral("127.0.0.1"));
        table.setRouteField(r, DirectoryName, QString::fromLatin1(paths[r - 1]));
        table.setRouteField(r, MatchWord, Word);
    }
    // The failing route retries its delay directory, which is not there either.
    table.setRouteField(3, DelayDirectoryName, QStringLiteral("missing.html"));

    QuietDisplay checkDisplay;
    RouteChecker checker(checkDisplay);
    CheckTimings timings;
    // Limits only: on loopback every wait ends as soon as its event comes.
    timings.connectWaitMs = 2000;
    timings.replyWaitMs = 2000;
    timings.arrivalPauseMs = 0;
    timings.port = server.port();
    timings.fetchTimeoutMs = 2000;
    timings.replyCapBytes = 1024 * 1024; // below the oversized page
    checker.setTimings(timings);

    SettingsValues values;
    values.CheckIntervalMinutes = 1; // six ticks
    values.ResidentFlag = 1;
    values.CheckOnResidentFlag = 1;
    CountingCycleDisplay display;
    CheckRound round(checker, table);
    CheckCycle cycle(round, values, display);
    CycleTimings cycleTimings;
    cycleTimings.tickMs = 1;
    cycleTimings.popupTickMs = 1;
    cycleTimings.popupTicks = 1;
    cycle.setTimings(cycleTimings);
    cycle.setPause([](int) {});

    SoakFigures figures;
    const int warmAt = qMax(2, m_cycles / 10);
    int seen = 0;
    QEventLoop loop;
    QTimer watch;
    // Between cycles: the check count moved on and no check runs.
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (checker.isRunning() || display.checks == seen)
            return;
        seen = display.checks;
        for (int r = 1; r <= RouteCount; ++r) {
            const int status = round.states()[r].Status;
            if (status >= 0 && status < int(figures.statuses.size()))
                ++figures.statuses[status];
        }
        if (seen == 1)
            figures.first = sample(seen);
        if (seen == warmAt)
            figures.warm = sample(seen);
        if (seen >= m_cycles) {
            figures.last = sample(seen);
            loop.quit();
        }
    });
    watch.start(1);
    cycle.startUp();
    loop.exec();
    cycle.end();

    figures.cycles = seen;
    figures.peakResidentKiB = peakResidentKiB();
    return figures;
}

} // namespace senrokan::test
