// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Misbehaving servers against the timed check, in process through CheckCycle with short waits
// and, as root, against senrokan-check with its real waits on port 80 of loopback addresses of
// its own. Each fault sits on route 1; route 2 serves a normal page and must still be checked.
#include "check/RouteChecker.h"
#include "codec/Converter.h"
#include "cycle/CheckCycle.h"
#include "cycle/CheckRound.h"
#include "settings/SettingsFile.h"
#include "support/CheckerJson.h"
#include "support/CountingCycleDisplay.h"
#include "support/Pages.h"
#include "support/ProcessFigures.h"
#include "support/ProcessRun.h"
#include "support/RecordingDisplay.h"
#include "support/Sanitized.h"
#include "support/ScriptedServer.h"
#include "support/SettingsWriter.h"
#include "support/ShortTimings.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace senrokan;
using namespace senrokan::test;
using Script = ScriptedServer::Script;
using Send = ScriptedServer::Send;
using Pause = ScriptedServer::Pause;

namespace
{

const QString Word = QStringLiteral("平常運転");
const QString FaultPath = QStringLiteral("fault.html");
const QString NormalPath = QStringLiteral("normal.html");
// What route 1 holds before the cycle, so that a status kept by mistake shows.
constexpr int Before = StatusOutOfHours;
// Generous: a 16 MiB reply held as text is 32 MiB, and nothing else may grow with a fault.
constexpr qint64 PeakBoundKiB = 256 * 1024;

// Where route 1 points, in the order of hostName's table.
enum class Host { Scripted, Refused, Unresolvable };

Script ok(const QByteArray& body)
{
    return ScriptedServer::reply("200 OK", body);
}

// A page in a declared coding with bytes that are invalid in it before the word.
QByteArray withInvalidBytes(const char* coding, const QString& declaration,
                            const QByteArray& invalid)
{
    return encoded(coding, html(metaFor(declaration), QStringLiteral("<p>山手線</p>"))) + invalid +
           encoded(coding, QStringLiteral("<p>現在、平常運転です。</p>"));
}

Script dribbled(const QByteArray& bytes)
{
    Script script;
    for (const char byte : bytes)
        script << Send{QByteArray(1, byte)} << Pause{1};
    return script;
}

QByteArray garbage(qsizetype size)
{
    QRandomGenerator random(20260305);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

Script forbidden()
{
    return ScriptedServer::reply("403 Forbidden", "<p>forbidden</p>");
}

const char* hostName(Host host, bool cli)
{
    // In process and for senrokan-check; nothing listens at the refused loopback addresses.
    static const char* const names[][2] = {{"127.0.0.1", "127.0.6.1"},
                                           {"127.0.0.2", "127.0.6.2"},
                                           {"senrokan-fault.invalid", "senrokan-fault.invalid"}};
    return names[int(host)][cli ? 1 : 0];
}

} // namespace

Q_DECLARE_METATYPE(Host)

class FaultChecks : public QObject
{
    Q_OBJECT

    static void serve(ScriptedServer& server, const Script& reply, const Script& fetch)
    {
        server.onRequest(QLatin1Char('/') + FaultPath, reply);
        if (!fetch.isEmpty())
            server.onFetch(QLatin1Char('/') + FaultPath, fetch);
        server.onRequest(
            QLatin1Char('/') + NormalPath,
            ok(encoded(coding::Cp932, html({}, QStringLiteral("<p>現在、平常運転です。</p>")))));
    }

private Q_SLOTS:
    void timedCycle_data()
    {
        QTest::addColumn<Host>("host");
        QTest::addColumn<Script>("reply");
        QTest::addColumn<Script>("fetch"); // the byte fetch's answer; empty: as the reply
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("viaChecker"); // also run against senrokan-check as root

        const QByteArray filler(3 * 1024 * 1024, 'a');
        auto row = [](const char* name, Host host, const Script& reply, int status, bool cli,
                      const Script& fetch = {}) {
            QTest::newRow(name) << host << reply << fetch << status << cli;
        };
        const int failed = StatusConnectFailed;
        const int late = StatusDelayed;

        row("connection refused", Host::Refused, {}, failed, true);
        row("accepted, never answers", Host::Scripted, {ScriptedServer::Hold{}}, failed, true);
        // Judged on what arrived: a 200 status line, and no word in it.
        row("reset in the middle of the headers", Host::Scripted,
            {Send{"HTTP/1.1 200 OK\r\nContent-Type: te"}, Pause{100}, ScriptedServer::Reset{}},
            late, true);
        row("reply dribbled one byte at a time", Host::Scripted,
            dribbled("HTTP/1.0 200 OK\r\n\r\n" + encoded(coding::Cp932, Word)), StatusNormal, true);
        row("100 MiB of reply", Host::Scripted,
            {Send{"HTTP/1.0 200 OK\r\n\r\n"}, ScriptedServer::Flood{100LL << 20}}, late, true);
        row("binary garbage", Host::Scripted, {Send{garbage(64 * 1024)}}, failed, true);
        // Invalid bytes become substitutes; the word after them is still found.
        row("invalid bytes in shift_jis", Host::Scripted,
            ok(withInvalidBytes(coding::Cp932, QStringLiteral("shift_jis"), "\x81\x7f\xa0\xfd")),
            StatusNormal, false);
        row("invalid bytes in utf-8", Host::Scripted,
            ok(withInvalidBytes(coding::Utf8, QStringLiteral("utf-8"), "\xe3\x81\xff\xc0\x80")),
            StatusNormal, false);
        row("invalid bytes in euc-jp", Host::Scripted,
            ok(withInvalidBytes(coding::EucJp, QStringLiteral("EUC-JP"), "\xa4\x21\xff\x8e")),
            StatusNormal, false);
        row("invalid bytes in iso-2022-jp", Host::Scripted,
            ok(withInvalidBytes(coding::Iso2022Jp, QStringLiteral("iso-2022-jp"),
                                "\x1b$B\x7f\x21\x1b(B\x1b$Z\x0e")),
            StatusNormal, false);
        row("declaration 10 000 characters long", Host::Scripted,
            ok(encoded(coding::Cp932, html(metaFor(QString(10000, QLatin1Char('x'))),
                                           QStringLiteral("<p>現在、平常運転です。</p>")))),
            StatusNormal, false);
        row("3 MiB utf-8 page, the word at its very end", Host::Scripted,
            ok(encoded(coding::Utf8, metaFor(QStringLiteral("utf-8"))) + filler +
               encoded(coding::Utf8, Word)),
            StatusNormal, false);
        row("host name that does not resolve", Host::Unresolvable, {}, failed, true);
        row("byte fetch in an endless redirect loop", Host::Scripted, forbidden(), failed, true,
            {Send{"HTTP/1.1 302 Found\r\nLocation: /" + FaultPath.toLatin1() +
                  "\r\nContent-Length: 0\r\n\r\n"}});
        Script trickle{Send{"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n"}};
        for (int i = 0; i < 1000; ++i)
            trickle << Pause{100} << Send{"x"};
        row("byte fetch that trickles forever", Host::Scripted, forbidden(), failed, true, trickle);
    }

    void timedCycle()
    {
        QFETCH(Host, host);
        QFETCH(Script, reply);
        QFETCH(Script, fetch);
        QFETCH(int, status);

        ScriptedServer server;
        serve(server, reply, fetch);
        RouteTable table;
        RecordingDisplay checkDisplay;
        RouteChecker checker(checkDisplay);
        const CheckTimings timings = test::shortCheckTimings(server.port());
        checker.setTimings(timings);
        const QString hosts[] = {QString::fromLatin1(hostName(host, false)),
                                 QStringLiteral("127.0.0.1")};
        const QString paths[] = {FaultPath, NormalPath};
        for (int r = 1; r <= 2; ++r) {
            table.setRouteField(r, ServerName, hosts[r - 1]);
            table.setRouteField(r, DirectoryName, paths[r - 1]);
            table.setRouteField(r, MatchWord, Word);
        }
        SettingsValues values;
        CountingCycleDisplay display;
        CheckRound round(checker, table);
        round.states()[1].Status = Before;
        CheckCycle cycle(round, values, display);
        cycle.ApplyCheckInterval();
        cycle.state().CheckTickCount = cycle.tickTarget() - 1;
        QElapsedTimer clock;
        clock.start();
        cycle.Timer1_Timer();
        const qint64 elapsed = clock.elapsed();
        cycle.end();

        QCOMPARE(display.checks, 1);
        QCOMPARE(round.states()[1].Status, status);
        QCOMPARE(round.states()[2].Status, int(StatusNormal));
        QVERIFY(server.rawRequests().contains("GET /normal.html HTTP/1.0\r\n\r\n"));
        for (int r = 3; r <= 5; ++r)
            QCOMPARE(round.states()[r].Status, int(StatusNoServer));
        QVERIFY(!checker.isRunning());
        // Two checks of two waits each, at most one byte fetch, and room for a loaded machine.
        const qint64 bound =
            2 * (timings.connectWaitMs + timings.replyWaitMs) + timings.fetchTimeoutMs + 5000;
        QVERIFY2(elapsed < bound, qPrintable(QStringLiteral("the cycle took %1 ms").arg(elapsed)));
        SKIP_MEMORY_BOUNDS_WHEN_SANITIZED();
        QVERIFY2(peakResidentKiB() < PeakBoundKiB,
                 qPrintable(QStringLiteral("peak resident %1 KiB").arg(peakResidentKiB())));
    }

    void checker_data() { timedCycle_data(); }

    void checker()
    {
        QFETCH(Host, host);
        QFETCH(Script, reply);
        QFETCH(Script, fetch);
        QFETCH(int, status);
        QFETCH(bool, viaChecker);
        if (!viaChecker)
            QSKIP("covered by the timed cycle; senrokan-check runs a few rows for time");
        if (::geteuid() != 0)
            QSKIP("the scripted server must listen on port 80, which needs root");

        {
            QTcpSocket probe;
            probe.connectToHost(QString::fromLatin1(hostName(Host::Refused, true)), 80);
            QVERIFY2(!probe.waitForConnected(500),
                     "a server listens on port 80 of every address; stop it first");
        }
        ScriptedServer server(hostName(Host::Scripted, true), 80);
        QVERIFY2(server.port() == 80, "port 80 of 127.0.6.1 is taken");
        serve(server, reply, fetch);

        QTemporaryDir dir;
        test::writeSettings(
            dir.filePath(SettingsFileName), SettingsValues(),
            {{QStringLiteral("故障"), QString::fromLatin1(hostName(host, true)), FaultPath, Word},
             {QStringLiteral("平常"), QString::fromLatin1(hostName(Host::Scripted, true)),
              NormalPath, Word}});

        QElapsedTimer clock;
        clock.start();
        // Real waits: 2 + 2 s a route, a 4 s byte fetch; a hang runs into this bound.
        const test::ProcessResult run =
            test::runProcess(QStringLiteral(SENROKAN_CHECK_EXE), {QStringLiteral("--json")},
                             {QProcessEnvironment::systemEnvironment(), dir.path(), 60000});
        QVERIFY2(run.exitCode >= 0, "senrokan-check did not end, or crashed");

        const QList<int> states = checkerStatuses(run.out);
        QCOMPARE(states.size(), RouteCount);
        QCOMPARE(states.at(0), status);
        QCOMPARE(states.at(1), int(StatusNormal));
        QCOMPARE(run.exitCode, status == StatusDelayed ? 1 : status == StatusConnectFailed ? 2 : 0);
        qInfo("senrokan-check took %lld ms", clock.elapsed());
        SKIP_MEMORY_BOUNDS_WHEN_SANITIZED();
        rusage children{};
        ::getrusage(RUSAGE_CHILDREN, &children);
        QVERIFY2(children.ru_maxrss < PeakBoundKiB,
                 qPrintable(QStringLiteral("peak resident %1 KiB").arg(children.ru_maxrss)));
    }
};

QTEST_GUILESS_MAIN(FaultChecks)
#include "fault_checks.moc"
