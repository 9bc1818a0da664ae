// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The check of one route against a scripted loopback server: request bytes, status lines,
// retries, byte fetches, codings, the error trap and the interactive reporting.
#include "check/RouteChecker.h"
#include "codec/Converter.h"
#include "support/AlertsFeed.h"
#include "support/KeptChecks.h"
#include "support/Pages.h"
#include "support/ProcessFigures.h"
#include "support/RecordingDisplay.h"
#include "support/ScriptedServer.h"
#include "support/ShortTimings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

using namespace senrokan;
using namespace senrokan::test;
using Script = ScriptedServer::Script;

namespace
{

const QString Word = QStringLiteral("平常運転");
const QString Failed = QStringLiteral("接続失敗");
const QDateTime CheckedAt(QDate(2026, 3, 5), QTime(14, 7, 9));

QString pageSource(const QString& head)
{
    return QStringLiteral("<html><head>%1</head><body><p>山手線 ｶﾀｶﾅ</p><p>現在、平常運転です。</p>"
                          "</body></html>")
        .arg(head);
}

// The page above in Shift_JIS, answered 200.
Script normalPage()
{
    return ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({})));
}

} // namespace

class TestRouteChecker : public QObject
{
    Q_OBJECT

    RouteTable m_table;
    RecordingDisplay m_display;
    std::unique_ptr<RouteChecker> m_checker;
    std::unique_ptr<KeptChecks> m_checks;
    std::unique_ptr<ScriptedServer> m_server;

    void setRoute(int r, const QString& dir, const QString& delayDir = {})
    {
        m_table.setRouteField(r, ServerName, QStringLiteral("127.0.0.1"));
        m_table.setRouteField(r, DirectoryName, dir);
        m_table.setRouteField(r, MatchWord, Word);
        m_table.setRouteField(r, DelayDirectoryName, delayDir);
    }

    // Route 1 on /p.html, which the server answers with reply.
    void serve(const Script& reply, const QString& delayDir = {})
    {
        m_server->onRequest(QStringLiteral("/p.html"), reply);
        setRoute(1, QStringLiteral("p.html"), delayDir);
    }

    const RouteState& state(int r) const { return m_checks->states()[r]; }

private Q_SLOTS:
    void init()
    {
        m_table = RouteTable();
        m_display = RecordingDisplay();
        m_server = std::make_unique<ScriptedServer>();
        m_checker = std::make_unique<RouteChecker>(m_display);
        m_checker->setRoutes(m_table);
        m_checks = std::make_unique<KeptChecks>(*m_checker);
        m_checker->setTimings(test::shortCheckTimings(m_server->port()));
        m_checker->setClock([] { return CheckedAt; });
    }

    void cleanup()
    {
        m_checks.reset();
        m_checker.reset();
        m_server.reset();
    }

    void requestBytes_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain path") << QStringLiteral("info/line1.html")
                                    << QByteArray("GET /info/line1.html HTTP/1.0\r\n\r\n");
        QTest::newRow("query kept as typed")
            << QStringLiteral("s?a=1&b=2") << QByteArray("GET /s?a=1&b=2 HTTP/1.0\r\n\r\n");
        QTest::newRow("japanese path goes out in Shift_JIS")
            << QStringLiteral("運行.html")
            << QByteArray("GET /\x89\x5E\x8D\x73.html HTTP/1.0\r\n\r\n");
        QTest::newRow("empty path") << QString() << QByteArray("GET / HTTP/1.0\r\n\r\n");
        QTest::newRow("pasted line breaks cannot add a header")
            << QStringLiteral("a.html\r\nHost: evil\x1b")
            << QByteArray("GET /a.html%0D%0AHost: evil%1B HTTP/1.0\r\n\r\n");
    }

    void requestBytes()
    {
        QFETCH(QString, directory);
        QFETCH(QByteArray, expected);
        setRoute(1, directory);
        m_checks->PollRoute(1, 0);
        QCOMPARE(m_server->rawRequests(), QList<QByteArray>{expected});
    }

    // A host name without a scheme keeps the bare socket request, a Japanese path too; a
    // Shift_JIS page answered 200 needs no HTTP-client request at all.
    void plainHostStaysOnTheSocket()
    {
        const QByteArray expected("GET /\x89\x5E\x8D\x73.html HTTP/1.0\r\n\r\n");
        m_server->onRequest(
            QString::fromLatin1(expected.mid(4, expected.indexOf(" HTTP") - 4)),
            ScriptedServer::reply(
                "200 OK",
                encoded(coding::Cp932, pageSource(metaFor(QStringLiteral("shift_jis"))))));
        setRoute(1, QStringLiteral("運行.html"));
        m_checks->PollRoute(1, 0);
        QCOMPARE(m_server->rawRequests(), QList<QByteArray>{expected});
        QCOMPARE(m_server->fetchedPaths(), QStringList());
        QCOMPARE(m_server->connectionCount(), 1);
        QCOMPARE(state(1).Status, int(StatusNormal));
    }

    void statusLine_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("texts");
        const QStringList ok = {QStringLiteral("接続中"), QStringLiteral("接続しました"),
                                QStringLiteral("HTTPサーバに接続")};
        const QStringList failed = ok + QStringList{Failed};
        const QByteArray page = encoded(coding::Cp932, pageSource({}));
        QTest::newRow("HTTP/1.1 200") << normalPage() << 0 << ok;
        QTest::newRow("HTTP/1.0 200")
            << Script{ScriptedServer::Send{"HTTP/1.0 200 OK\r\n\r\n" + page}} << 0 << ok;
        QTest::newRow("200 without the word")
            << ScriptedServer::reply("200 OK", "<p>運転見合わせ</p>") << 1 << ok;
        QTest::newRow("reply under 10 characters")
            << Script{ScriptedServer::Send{"HTTP/1.0"}} << 2 << failed;
        QTest::newRow("500") << ScriptedServer::reply("500 Internal Server Error", page) << 2
                             << failed;
        QTest::newRow("redirect") << ScriptedServer::reply("301 Moved Permanently", page) << 2
                                  << failed;
        QTest::newRow("site's own not-found page")
            << ScriptedServer::reply(
                   "200 OK",
                   encoded(coding::Cp932, QStringLiteral("ページが見つかりません。") + Word))
            << 2 << failed;
        // A reply is read whole, or fails saying why; what came of it is never judged.
        const QString late = Failed + QStringLiteral(": 応答が0.7秒以内に最後まで届きません");
        QTest::newRow("server that never answers")
            << Script{ScriptedServer::Hold{}} << 2 << ok + QStringList{late};
        const QByteArray head =
            "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(page.size()) + "\r\n\r\n";
        QTest::newRow("body later than the limit")
            << Script{ScriptedServer::Send{head}, ScriptedServer::Pause{1500},
                      ScriptedServer::Send{page}}
            << 2 << ok + QStringList{late};
        QTest::newRow("cut short of its length")
            << Script{ScriptedServer::Send{head + page.chopped(40)}} << 2
            << ok + QStringList{Failed +
                                QStringLiteral(": 応答が途中で切れています（Content-Length %1 "
                                               "バイトのうち %2 バイト）")
                                    .arg(page.size())
                                    .arg(page.size() - 40)};
        QTest::newRow("server that resets") << Script{ScriptedServer::Reset{}} << 2 << failed;
    }

    void statusLine()
    {
        QFETCH(Script, script);
        QFETCH(int, status);
        QFETCH(QStringList, texts);
        serve(script);
        // Every verdict replaces the reason of the check before; without a section, with none.
        m_checks->states()[1].Reason = QStringLiteral("前の点検の理由");
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
        QCOMPARE(state(1).Reason, QString());
        QCOMPARE(m_display.statusTexts, texts);
        QCOMPARE(state(1).CheckTime, QStringLiteral("2026-03-05T14:07:09"));
        QVERIFY(m_display.messages.isEmpty()); // the timed check never opens a box
        if (status == StatusConnectFailed)
            QCOMPARE(m_checker->checkState().Connected, 0);
    }

    // A refused connection and a route without a server, which is not even tried, each timed
    // and asked for: only the refused check asked for shows a box.
    void unreached_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("interactive");
        for (const bool interactive : {false, true}) {
            const char* how = interactive ? "interactive" : "timed";
            QTest::addRow("refused, %s", how) << QStringLiteral("127.0.0.1") << interactive;
            QTest::addRow("no server, %s", how) << QString() << interactive;
        }
    }

    void unreached()
    {
        QFETCH(QString, server);
        QFETCH(bool, interactive);
        const bool tried = !server.isEmpty();
        m_checker->setTimings(test::shortCheckTimings(closedPort()));
        m_checks->states()[2].CheckTime = QStringLiteral("2026-01-01T00:00:00");
        m_table.setRouteField(2, ServerName, server);
        m_table.setRouteField(2, DirectoryName, QStringLiteral("p.html"));
        interactive ? m_checks->CheckRoute(2, 0) : m_checks->PollRoute(2, 0);
        QCOMPARE(state(2).Status, int(tried ? StatusConnectFailed : StatusNoServer));
        const QStringList texts = tried ? QStringList{QStringLiteral("接続中"), Failed}
                                        : QStringList{QStringLiteral("サーバ未設定")};
        QCOMPARE(m_display.statusTexts, texts);
        QCOMPARE(state(2).CheckTime, tried ? QStringLiteral("2026-03-05T14:07:09") : QString());
        QCOMPARE(m_display.messages.size(), tried && interactive ? 1 : 0);
        if (!m_display.messages.isEmpty())
            QCOMPARE(m_display.messages.first(), qMakePair(Failed, QStringLiteral("メッセージ")));
        QCOMPARE(m_server->connectionCount(), 0);
        QVERIFY(!m_display.busy);
    }

    void routeOutsideRange()
    {
        m_checks->PollRoute(6, 0);
        m_checks->PollRoute(0, 0);
        QVERIFY(m_display.statusTexts.isEmpty());
        QCOMPARE(m_server->connectionCount(), 0);
    }

    void delayDirectory_data()
    {
        QTest::addColumn<QString>("delayDir");
        QTest::addColumn<Script>("delayReply");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("requests");
        const Script notFound = ScriptedServer::reply("404 Not Found", "gone");
        const Script normal = normalPage();
        QTest::newRow("404, delay page normal") << QStringLiteral("delay.html") << normal << 0 << 2;
        QTest::newRow("404 twice, no third request")
            << QStringLiteral("delay.html") << notFound << 2 << 2;
        QTest::newRow("404 without delay directory") << QString() << normal << 2 << 1;
    }

    void delayDirectory()
    {
        QFETCH(QString, delayDir);
        QFETCH(Script, delayReply);
        QFETCH(int, status);
        QFETCH(int, requests);
        serve(ScriptedServer::reply("404 Not Found", "x"), delayDir);
        m_server->onRequest(QStringLiteral("/delay.html"), delayReply);
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
        const QList<QByteArray> sent = m_server->rawRequests();
        QCOMPARE(sent.size(), requests);
        if (requests == 2)
            QCOMPARE(sent.at(1), QByteArray("GET /delay.html HTTP/1.0\r\n\r\n"));
    }

    // The page fetched is the one asked for last: the delay page on the retry. Only a 2xx
    // answer that decodes is the page; any other fails the check, saying why.
    void byteFetch_data()
    {
        QTest::addColumn<QByteArray>("firstStatus");
        QTest::addColumn<QString>("delayDir");
        QTest::addColumn<Script>("fetched");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("detail");
        const QByteArray page = encoded(coding::Cp932, pageSource({}));
        const QByteArray gzip = "Content-Type: text/html\r\nContent-Encoding: gzip\r\n";
        auto row = [&](const char* name, const char* first, const Script& fetched, int status = 0,
                       const char* detail = "", const char* delayDir = "") {
            QTest::newRow(name) << QByteArray(first) << QString::fromLatin1(delayDir) << fetched
                                << status << QString::fromUtf8(detail);
        };
        const Script served = ScriptedServer::reply("200 OK", page);
        row("403", "403 Forbidden", served);
        row("400", "400 Bad Request", served);
        row("403 on the retry fetches the delay page", "404 Not Found", served, 0, "",
            "delay.html");
        row("400 to both requests", "400 Bad Request",
            ScriptedServer::reply("400 Bad Request", page), 2, "HTTP 400");
        row("200 in UTF-8, the fetch refused", "200 OK",
            ScriptedServer::reply("403 Forbidden", page), 2, "HTTP 403");
        row("gzip over a plain body", "403 Forbidden", ScriptedServer::reply("200 OK", page, gzip),
            2, "gzip の本文を展開できません（壊れています）");
        const QByteArray packed = gzipped(page);
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n";
        row("fetch cut short of its length", "403 Forbidden",
            {ScriptedServer::Send{head + page.first(100)}}, 2,
            "応答が途中で切れています（Content-Length 5000 バイトのうち 100 バイト）");
        row("fetch later than the limit", "403 Forbidden",
            {ScriptedServer::Send{head}, ScriptedServer::Pause{2500}}, 2,
            "応答が2秒以内に最後まで届きません");
        row("gzip stream cut short", "403 Forbidden",
            ScriptedServer::reply("200 OK", packed.first(packed.size() / 2), gzip), 2,
            "gzip の本文を展開できません（途中で切れています）");
    }

    void byteFetch()
    {
        QFETCH(QByteArray, firstStatus);
        QFETCH(QString, delayDir);
        QFETCH(Script, fetched);
        QFETCH(int, status);
        QFETCH(QString, detail);
        // Declared UTF-8, a 200 from the socket is fetched again as bytes too.
        serve(ScriptedServer::reply(
                  firstStatus, encoded(coding::Utf8, pageSource(metaFor(QStringLiteral("utf-8"))))),
              delayDir);
        m_server->onRequest(QStringLiteral("/delay.html"),
                            ScriptedServer::reply("403 Forbidden", "no"));
        m_server->onFetch(QStringLiteral("/p.html"), fetched);
        m_server->onFetch(QStringLiteral("/delay.html"), fetched);
        m_checks->PollRoute(1, 0);
        QCOMPARE(m_server->fetchedPaths(),
                 QStringList{QLatin1Char('/') +
                             (delayDir.isEmpty() ? QStringLiteral("p.html") : delayDir)});
        QCOMPARE(state(1).Status, status);
        QCOMPARE(m_display.failureDetails, detail.isEmpty() ? QStringList() : QStringList{detail});
    }

    // Every form a page declares its coding in, read as a browser reads it, on both paths: the
    // coding and what settled it (as --verbose prints it), the byte fetches made and the verdict.
    void codings_data()
    {
        QTest::addColumn<bool>("socketPath");
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("fetches");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("coding");
        const QByteArray html = "Content-Type: text/html\r\n";
        auto type = [](const char* value) { return QByteArray("Content-Type: ") + value + "\r\n"; };
        auto page = [](const char* coding, const QString& head) {
            return encoded(coding, pageSource(head));
        };
        auto meta = [](const char* label) { return metaFor(QString::fromLatin1(label)); };
        const QByteArray bom = "\xEF\xBB\xBF";
        const QString feed = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"EUC-JP\"?>\n<rss version=\"2.0\"><channel><item>"
            "<title>山手線 ｶﾀｶﾅ</title><description>現在、平常運転です。</description></item>"
            "</channel></rss>\n");
        // 現在、平常運転です。 escaped, as feeds that escape every non-ASCII character write it.
        const QByteArray escaped =
            QStringLiteral("{\"line\": \"山手線 ｶﾀｶﾅ\", \"note\": \"\\\"\\u904b\\u884c\\\"\\n\", "
                           "\"status\": \"\\u73fe\\u5728\\u3001\\u5e73\\u5e38\\u904b\\u8ee2\"}")
                .toUtf8();
        const QString lateHead = QStringLiteral("<style>%1</style><meta charset=\"euc-jp\">")
                                     .arg(QStringLiteral("p { margin: 0 }\n").repeated(200));
        for (const bool socket : {true, false}) {
            // Path A fetches bytes only for the codings the socket text cannot serve; path B
            // always fetches once.
            const int sjis = socket ? 0 : 1;
            auto row = [&](const char* name, const QByteArray& body, int fetches,
                           const char* coding, const QByteArray& headers = {}, int status = 0) {
                QTest::addRow("%s %s", socket ? "A" : "B", name)
                    << socket << (headers.isEmpty() ? html : headers) << body << fetches << status
                    << QString(coding);
            };
            // The forms the program always read, read as before.
            row("shift_jis", page(coding::Cp932, meta("shift_jis")), sjis, "Shift_JIS (meta)");
            row("utf-8", page(coding::Utf8, meta("utf-8")), 1, "UTF-8 (meta)");
            row("EUC-JP", page(coding::EucJp, meta("EUC-JP")), 1, "EUC-JP (meta)");
            row("iso-2022-jp", page(coding::Iso2022Jp, meta("iso-2022-jp")), sjis,
                "ISO-2022-JP (meta)");
            row("no declaration, Shift_JIS page", page(coding::Cp932, {}), sjis,
                "Shift_JIS (detected)");
            // Today's declarations; tst_codec reads the forms of a meta element.
            row("HTML5 meta", page(coding::Utf8, QStringLiteral("<meta charset=utf-8>")), 1,
                "UTF-8 (meta)");
            row("header charset wins over the meta", page(coding::Utf8, meta("shift_jis")), 1,
                "UTF-8 (header)", type("text/html; charset=UTF-8"));
            row("mark wins over header and meta", bom + page(coding::Utf8, meta("euc-jp")), 1,
                "UTF-8 (bom)", type("text/html; charset=Shift_JIS"));
            row("UTF-16 by its mark",
                "\xFF\xFE" + page(coding::Utf16Le, QStringLiteral("<meta charset=\"utf-8\">")), 1,
                "UTF-16LE (bom)");
            row("late declaration", page(coding::EucJp, lateHead), 1, "EUC-JP (meta)");
            row("XML feed", encoded(coding::EucJp, feed), 1, "EUC-JP (xml)",
                type("application/rss+xml"));
            row("JSON feed with a mark",
                bom + QStringLiteral("{\"line\": \"山手線 ｶﾀｶﾅ\", \"status\": \"平常運転\"}")
                          .toUtf8(),
                1, "UTF-8 (bom)", type("application/json"));
            row("JSON feed with escapes", escaped, 1, "UTF-8 (json)", type("application/json"));
            row("JSON body served as text", escaped, 1, "UTF-8 (json)", type("text/plain"));
            row("no declaration, UTF-8 page", page(coding::Utf8, {}), 1, "UTF-8 (detected)");
            row("no declaration, EUC-JP page", page(coding::EucJp, {}), 1, "EUC-JP (detected)");
            row("non-Japanese meta label",
                page(coding::Utf8, QStringLiteral("<meta charset=\"iso-8859-1\">")), 1,
                "UTF-8 (detected)");
            row("non-Japanese header label", page(coding::EucJp, meta("EUC-JP")), 1,
                "EUC-JP (detected)", type("text/html; charset=windows-1252"));
            row("really delayed UTF-8 page",
                encoded(coding::Utf8,
                        QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><p>山手線 "
                                       "ｶﾀｶﾅ</p><p>運転を見合わせています。</p></body></html>")),
                1, "UTF-8 (meta)", html, 1);
        }
    }

    void codings()
    {
        QFETCH(bool, socketPath);
        QFETCH(QByteArray, headers);
        QFETCH(QByteArray, body);
        QFETCH(int, fetches);
        QFETCH(int, status);
        QFETCH(QString, coding);
        const Script page = ScriptedServer::reply("200 OK", body, headers);
        serve(socketPath ? page : ScriptedServer::reply("403 Forbidden", "no"));
        m_server->onFetch(QStringLiteral("/p.html"), page);
        m_checks->PollRoute(1, 0);
        QCOMPARE(m_display.codings, QStringList{coding});
        QCOMPARE(m_server->fetchedPaths().size(), fetches);
        QCOMPARE(state(1).Status, status);
        QVERIFY(m_checker->checkState().PageText.contains(QStringLiteral("山手線 ｶﾀｶﾅ")));
        QCOMPARE(m_display.pageTexts.last(), m_checker->checkState().PageText);
    }

    // A section start the page lacks fails the check, recorded; valid hours that cannot be read
    // are left out, and said.
    void unreadableSettings_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("subtitleStart");
        QTest::addColumn<QString>("validFrom");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told");
        const QString noSection =
            QStringLiteral("接続失敗: サブタイトル「存在しない見出し」がページにありません");
        QTest::newRow("section start missing, was delayed")
            << int(StatusDelayed) << QStringLiteral("存在しない見出し") << QString()
            << int(StatusConnectFailed) << noSection;
        QTest::newRow("section start missing, was normal")
            << int(StatusNormal) << QStringLiteral("存在しない見出し") << QString()
            << int(StatusConnectFailed) << noSection;
        QTest::newRow("unreadable valid-from time")
            << int(StatusDelayed) << QString() << QStringLiteral("朝") << int(StatusNormal)
            << QStringLiteral(
                   "ValidFrom「朝」を時刻として読めません（有効時間帯なしでチェックします）");
    }

    void unreadableSettings()
    {
        QFETCH(int, before);
        QFETCH(QString, subtitleStart);
        QFETCH(QString, validFrom);
        QFETCH(int, status);
        serve(normalPage());
        m_table.setRouteField(1, SubtitleStart, subtitleStart);
        m_table.setRouteField(1, ValidFrom, validFrom);
        // Read as a time, the hours would end at 9:00, before the check at 14:07.
        m_table.setRouteField(1, ValidTo, validFrom.isEmpty() ? QString() : QStringLiteral("9:00"));
        m_checks->states()[1].Status = before;
        m_checks->states()[1].Reason = QStringLiteral("前の点検の理由");
        const std::optional<CheckOutcome> outcome = m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
        QCOMPARE(state(1).Reason, QString());
        QTEST(m_display.statusTexts.last(), "told");
        QVERIFY(outcome && outcome->record);
        QCOMPARE(outcome->record->status, status);
        QVERIFY(m_display.messages.isEmpty());
    }

    void validHoursAfterFetch_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<int>("status");
        QTest::newRow("reachable outside hours") << true << int(StatusOutOfHours);
        QTest::newRow("unreachable outside hours") << false << int(StatusConnectFailed);
    }

    void validHoursAfterFetch()
    {
        QFETCH(bool, reachable);
        QFETCH(int, status);
        serve(normalPage());
        if (!reachable)
            m_checker->setTimings(test::shortCheckTimings(closedPort()));
        m_table.setRouteField(1, ValidFrom, QStringLiteral("6:00"));
        m_table.setRouteField(1, ValidTo, QStringLiteral("9:00")); // the clock says 14:07
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
    }

    // A day the route leaves out reads as outside its hours, and its server is not asked.
    void checkDays_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("days");
        QTest::addColumn<bool>("holidays");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        const QDate holiday(2026, 5, 4); // みどりの日, a Monday
        const QString weekdays = QStringLiteral("月火水木金");
        QTest::newRow("holiday left out")
            << holiday << weekdays << false << 4 << QStringLiteral("祝日");
        QTest::newRow("Sunday, weekdays only")
            << QDate(2026, 3, 8) << weekdays << true << 4 << QStringLiteral("曜日外");
        QTest::newRow("Monday, Mondays only")
            << QDate(2026, 3, 9) << QStringLiteral("月") << false << 0 << QString();
        QTest::newRow("holiday watched") << holiday << weekdays << true << 0 << QString();
    }

    void checkDays()
    {
        QFETCH(QDate, date);
        QFETCH(QString, days);
        QFETCH(bool, holidays);
        QFETCH(int, status);
        QFETCH(QString, reason);
        serve(normalPage());
        RouteOptionsTable options;
        options[1].days = days;
        options[1].holidays = holidays;
        m_checker->setRouteOptions(options);
        m_checker->setClock([date] { return QDateTime(date, QTime(8, 30)); });
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
        QCOMPARE(state(1).Reason, reason);
        QCOMPARE(m_server->connectionCount(), status == StatusOutOfHours ? 0 : 1);
        if (status == StatusOutOfHours)
            QCOMPARE(m_display.statusTexts, QStringList{"時間外です。（" + reason + "）"});
    }

    void hugeReplyStaysBounded()
    {
        CheckTimings t = test::shortCheckTimings(m_server->port());
        t.arrivalPauseMs = 0;
        t.replyWaitMs = 2500;
        m_checker->setTimings(t);
        serve({ScriptedServer::Send{"HTTP/1.0 200 OK\r\n\r\n"},
               ScriptedServer::Flood{100LL * 1024 * 1024}});
        const qint64 before = peakResidentKiB();
        m_checks->PollRoute(1, 0);
        const qint64 grown = peakResidentKiB() - before;
        QCOMPARE(state(1).Status, int(StatusDelayed));
        const QString& text = m_checker->checkState().PageText;
        QVERIFY2(text.size() >= 16 * 1024 * 1024 - 64 * 1024, "the flood did not reach the cap");
        QVERIFY(text.size() <= 16 * 1024 * 1024);
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the address sanitizer's quarantine keeps freed memory in the peak");
#endif
        // 16 MiB of bytes held as they came and as UTF-16 text is 48 MiB, plus the buffers' growth;
        // the rest of 100 MiB must not be kept.
        QVERIFY2(grown < 128 * 1024, qPrintable(QStringLiteral("peak grew by %1 KiB").arg(grown)));
    }

    void fetchOverCapFails()
    {
        CheckTimings t = test::shortCheckTimings(m_server->port());
        t.replyCapBytes = 256 * 1024;
        m_checker->setTimings(t);
        serve(ScriptedServer::reply("403 Forbidden", "no"));
        m_server->onFetch(QStringLiteral("/p.html"),
                          ScriptedServer::reply("200 OK", QByteArray(1024 * 1024, 'a')));
        m_checks->states()[1].Status = StatusNormal;
        m_checks->PollRoute(1, 0);
        QCOMPARE(m_server->fetchedPaths().size(), 1);
        QCOMPARE(state(1).Status, int(StatusNormal));
    }

    void checksNeverOverlap()
    {
        // A page that takes its time, so that the calls below come while its check runs.
        serve(Script{ScriptedServer::Pause{300}} + normalPage());
        setRoute(2, QStringLiteral("p.html"));
        QTimer::singleShot(50, this, [this] {
            m_checks->PollRoute(2, 0);
            m_checks->CheckRoute(2, 0);
        });
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusNormal));
        QCOMPARE(state(2).Status, int(StatusNone));
        QCOMPARE(m_server->connectionCount(), 1);
    }

    void cancelEndsTheWaitSilently()
    {
        serve({ScriptedServer::Hold{}});
        CheckTimings t = test::shortCheckTimings(m_server->port());
        t.replyWaitMs = 60000;
        m_checker->setTimings(t);
        m_checks->states()[1].Status = StatusDelayed;
        QTimer::singleShot(400, this, [this] { m_checker->cancel(); });
        QElapsedTimer clock;
        clock.start();
        m_checks->CheckRoute(1, 0);
        QVERIFY(clock.elapsed() < 30000);
        QCOMPARE(state(1).Status, int(StatusDelayed));
        QVERIFY(m_display.messages.isEmpty());
        QVERIFY(!m_display.busy);
        QVERIFY(!m_checker->isRunning());
    }

    void interactive_data()
    {
        QTest::addColumn<Script>("reply");
        QTest::addColumn<QString>("delayDir");
        QTest::addColumn<QString>("subtitleStart");
        QTest::addColumn<QString>("validTo");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("feedLine"); // the route's feed is the reply when set
        auto row = [](const char* name, const Script& reply, int status, const char* prompt,
                      const char* title, const char* delayDir = "", const char* subtitle = "",
                      const char* validTo = "", const char* feedLine = "") {
            QTest::newRow(name) << reply << QString::fromUtf8(delayDir)
                                << QString::fromUtf8(subtitle) << QString::fromUtf8(validTo)
                                << status << QString::fromUtf8(prompt) << QString::fromUtf8(title)
                                << QString::fromLatin1(feedLine);
        };
        const Script notFound = ScriptedServer::reply("404 Not Found", "x");
        row("normal", normalPage(), 0, "平常運転です。", "運行情報");
        row("delayed", ScriptedServer::reply("200 OK", "<p>運転見合わせ</p>"), 1,
            "遅れがあります。", "運行情報");
        row("outside hours", normalPage(), 4, "時間外です。", "運行情報", "", "", "9:00");
        row("404 then normal delay page: one box", notFound, 0, "平常運転です。", "運行情報",
            "delay.html");
        row("404 twice: one failure box", notFound, 2, "接続失敗", "メッセージ", "gone.html");
        row("section start missing: failure box", normalPage(), StatusConnectFailed, "接続失敗",
            "メッセージ", "", "存在しない");
        const FeedAlert lift{QStringLiteral("Red"),
                             {},
                             gtfsrt::Alert::ACCESSIBILITY_ISSUE,
                             {},
                             {{QStringLiteral("エレベーター停止"), {}}},
                             {}};
        row("feed with a notice: normal, the notice in the box",
            ScriptedServer::reply("200 OK", alertsFeed({lift}, CheckedAt.toSecsSinceEpoch())), 0,
            "平常運転です。\nお知らせ：エレベーター停止", "運行情報", "", "", "", "Red");
    }

    void interactive()
    {
        QFETCH(Script, reply);
        QFETCH(QString, delayDir);
        QFETCH(QString, subtitleStart);
        QFETCH(QString, validTo);
        QFETCH(int, status);
        QFETCH(QString, prompt);
        QFETCH(QString, title);
        QFETCH(QString, feedLine);
        serve(reply, delayDir);
        RouteOptionsTable options;
        if (!feedLine.isEmpty())
            options[1].feed = QStringLiteral("http://127.0.0.1:%1/p.html").arg(m_server->port());
        options[1].feedLine = feedLine;
        m_checker->setRouteOptions(options);
        m_server->onRequest(QStringLiteral("/delay.html"), normalPage());
        m_table.setRouteField(1, SubtitleStart, subtitleStart);
        if (!validTo.isEmpty()) {
            m_table.setRouteField(1, ValidFrom, QStringLiteral("6:00"));
            m_table.setRouteField(1, ValidTo, validTo);
        }
        m_checks->CheckRoute(1, 0);
        QCOMPARE(m_display.messages, (QList<QPair<QString, QString>>{{prompt, title}}));
        QCOMPARE(state(1).Status, status);
        QVERIFY(!m_display.busy);
        QCOMPARE(m_display.busyChanges.first(), true);
    }

    // The page-text area first shows what settled the coding (tst_codec reads it for each way),
    // or nothing when nothing did; then the page text.
    void interactiveShowsDeclarationThenPage_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("shown");
        QTest::newRow("declared") << encoded(coding::Cp932,
                                             pageSource(metaFor(QStringLiteral("shift_jis"))))
                                  << "shift_jis";
        QTest::newRow("nothing to go by") << QByteArray("<p>ASCII only</p>") << "";
    }

    void interactiveShowsDeclarationThenPage()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, shown);
        serve(ScriptedServer::reply("200 OK", body));
        m_checks->CheckRoute(1, 0);
        QCOMPARE(m_display.pageTexts.size(), 2);
        QCOMPARE(m_display.pageTexts.first(), shown);
        QCOMPARE(m_display.pageTexts.last(), m_checker->checkState().PageText);
        QVERIFY(!m_display.busyDuringMessage); // the pointer is normal before the outcome box
    }
};

QTEST_GUILESS_MAIN(TestRouteChecker)
#include "tst_routechecker.moc"
