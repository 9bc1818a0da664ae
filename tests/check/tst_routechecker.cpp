// The check of one route against a scripted loopback server: request bytes, status lines,
// retries, byte fetches, codings, the error trap and the interactive reporting.
#include "check/RouteChecker.h"
#include "codec/Converter.h"
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

QString pageSource(const QString& head)
{
    return QStringLiteral("<html><head>%1</head><body><p>山手線 ｶﾀｶﾅ</p><p>現在、平常運転です。</p>"
                          "</body></html>")
        .arg(head);
}

} // namespace

class TestRouteChecker : public QObject
{
    Q_OBJECT

    RouteTable m_table;
    RecordingDisplay m_display;
    std::unique_ptr<RouteChecker> m_checker;
    std::unique_ptr<ScriptedServer> m_server;

    CheckTimings testTimings(quint16 port) const { return test::shortCheckTimings(port); }

    void setRoute(int r, const QString& dir, const QString& word = Word,
                  const QString& delayDir = {})
    {
        m_table.setRouteField(r, ServerName, QStringLiteral("127.0.0.1"));
        m_table.setRouteField(r, DirectoryName, dir);
        m_table.setRouteField(r, MatchWord, word);
        m_table.setRouteField(r, DelayDirectoryName, delayDir);
    }

    const RouteState& state(int r) const { return m_checker->states()[r]; }

private Q_SLOTS:
    void init()
    {
        m_table = RouteTable();
        m_display = RecordingDisplay();
        m_server = std::make_unique<ScriptedServer>();
        m_checker = std::make_unique<RouteChecker>(m_table, m_display);
        m_checker->setTimings(testTimings(m_server->port()));
        m_checker->setClock([] { return QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)); });
    }

    void cleanup()
    {
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
    }

    void requestBytes()
    {
        QFETCH(QString, directory);
        QFETCH(QByteArray, expected);
        setRoute(1, directory);
        m_checker->PollRoute(1, 0);
        QCOMPARE(m_server->rawRequests(), QList<QByteArray>{expected});
    }

    // A host name without a scheme keeps the bare socket request; a Shift_JIS page answered 200
    // needs no HTTP-client request at all.
    void plainHostStaysOnTheSocket_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ascii path") << QStringLiteral("info/line1.html")
                                    << QByteArray("GET /info/line1.html HTTP/1.0\r\n\r\n");
        QTest::newRow("japanese path") << QStringLiteral("運行.html")
                                       << QByteArray("GET /\x89\x5E\x8D\x73.html HTTP/1.0\r\n\r\n");
    }

    void plainHostStaysOnTheSocket()
    {
        QFETCH(QString, directory);
        QFETCH(QByteArray, expected);
        m_server->onRequest(
            QString::fromLatin1(expected.mid(4, expected.indexOf(" HTTP") - 4)),
            ScriptedServer::reply(
                "200 OK",
                encoded(coding::Cp932, pageSource(metaFor(QStringLiteral("shift_jis"))))));
        setRoute(1, directory);
        m_checker->PollRoute(1, 0);
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
        const QByteArray page = encoded(coding::Cp932, pageSource({}));
        QTest::newRow("HTTP/1.1 200") << ScriptedServer::reply("200 OK", page) << 0 << ok;
        QTest::newRow("HTTP/1.0 200")
            << Script{ScriptedServer::Send{"HTTP/1.0 200 OK\r\n\r\n" + page}} << 0 << ok;
        QTest::newRow("200 without the word")
            << ScriptedServer::reply("200 OK", "<p>運転見合わせ</p>") << 1 << ok;
        QTest::newRow("reply under 10 characters")
            << Script{ScriptedServer::Send{"HTTP/1.0"}} << 2 << (ok + QStringList{Failed});
        QTest::newRow("500") << ScriptedServer::reply("500 Internal Server Error", page) << 2
                             << (ok + QStringList{Failed});
        QTest::newRow("redirect") << ScriptedServer::reply("301 Moved Permanently", page) << 2
                                  << (ok + QStringList{Failed});
        QTest::newRow("site's own not-found page")
            << ScriptedServer::reply(
                   "200 OK",
                   encoded(coding::Cp932, QStringLiteral("ページが見つかりません。") + Word))
            << 2 << (ok + QStringList{Failed});
        QTest::newRow("server that never answers")
            << Script{ScriptedServer::Hold{}} << 2 << (ok + QStringList{Failed});
        QTest::newRow("server that resets")
            << Script{ScriptedServer::Reset{}} << 2 << (ok + QStringList{Failed});
    }

    void statusLine()
    {
        QFETCH(Script, script);
        QFETCH(int, status);
        QFETCH(QStringList, texts);
        m_server->onRequest(QStringLiteral("/p.html"), script);
        setRoute(1, QStringLiteral("p.html"));
        m_checker->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
        QCOMPARE(m_display.statusTexts, texts);
        QCOMPARE(state(1).CheckTime, QStringLiteral("2026-03-05T14:07:09"));
        QVERIFY(m_display.messages.isEmpty()); // the timed check never opens a box
        if (status == StatusConnectFailed)
            QCOMPARE(m_checker->checkState().Connected, 0);
    }

    void refusedConnection()
    {
        m_checker->setTimings(testTimings(closedPort()));
        setRoute(1, QStringLiteral("p.html"));
        m_checker->PollRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusConnectFailed));
        QCOMPARE(m_display.statusTexts, (QStringList{QStringLiteral("接続中"), Failed}));
        QVERIFY(!state(1).CheckTime.isEmpty());
    }

    void emptyServerName()
    {
        m_checker->states()[2].CheckTime = QStringLiteral("2026-01-01T00:00:00");
        m_table.setRouteField(2, DirectoryName, QStringLiteral("p.html"));
        m_checker->PollRoute(2, 0);
        QCOMPARE(state(2).Status, int(StatusNoServer));
        QCOMPARE(state(2).CheckTime, QString());
        QCOMPARE(m_display.statusTexts, QStringList{QStringLiteral("サーバ未設定")});
        QCOMPARE(m_server->connectionCount(), 0);
    }

    void routeOutsideRange()
    {
        m_checker->PollRoute(6, 0);
        m_checker->PollRoute(0, 0);
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
        const Script normal =
            ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({})));
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
        m_server->onRequest(QStringLiteral("/p.html"), ScriptedServer::reply("404 Not Found", "x"));
        m_server->onRequest(QStringLiteral("/delay.html"), delayReply);
        setRoute(1, QStringLiteral("p.html"), Word, delayDir);
        m_checker->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
        const QList<QByteArray> sent = m_server->rawRequests();
        QCOMPARE(sent.size(), requests);
        if (requests == 2)
            QCOMPARE(sent.at(1), QByteArray("GET /delay.html HTTP/1.0\r\n\r\n"));
    }

    void byteFetch_data()
    {
        QTest::addColumn<QByteArray>("firstStatus");
        QTest::addColumn<QString>("delayDir");
        QTest::addColumn<QString>("fetched");
        QTest::newRow("403") << QByteArray("403 Forbidden") << QString()
                             << QStringLiteral("/p.html");
        QTest::newRow("400") << QByteArray("400 Bad Request") << QString()
                             << QStringLiteral("/p.html");
        QTest::newRow("403 on the retry fetches the delay page")
            << QByteArray("404 Not Found") << QStringLiteral("delay.html")
            << QStringLiteral("/delay.html");
    }

    void byteFetch()
    {
        QFETCH(QByteArray, firstStatus);
        QFETCH(QString, delayDir);
        QFETCH(QString, fetched);
        const Script page = ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({})));
        m_server->onRequest(QStringLiteral("/p.html"), ScriptedServer::reply(firstStatus, "no"));
        m_server->onRequest(QStringLiteral("/delay.html"),
                            ScriptedServer::reply("403 Forbidden", "no"));
        m_server->onFetch(QStringLiteral("/p.html"), page);
        m_server->onFetch(QStringLiteral("/delay.html"), page);
        setRoute(1, QStringLiteral("p.html"), Word, delayDir);
        m_checker->PollRoute(1, 0);
        QCOMPARE(m_server->fetchedPaths(), QStringList{fetched});
        QCOMPARE(state(1).Status, int(StatusNormal));
    }

    void codings_data()
    {
        QTest::addColumn<bool>("socketPath");
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("fetches");
        QTest::addColumn<int>("status");
        const QByteArray html = "Content-Type: text/html\r\n";
        auto page = [](const char* coding, const QString& head) {
            return encoded(coding, pageSource(head));
        };
        for (const bool socket : {true, false}) {
            const char* path = socket ? "A " : "B ";
            const int extra = socket ? 0 : 1; // path B always fetches once
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow(qPrintable(QString::fromLatin1(path) + QLatin1String(name)))
                       << socket << html;
            };
            row("shift_jis") << page(coding::Cp932, metaFor(QStringLiteral("shift_jis"))) << extra
                             << 0;
            row("SHIFT_JIS") << page(coding::Cp932, metaFor(QStringLiteral("SHIFT_JIS"))) << extra
                             << 0;
            row("utf-8") << page(coding::Utf8, metaFor(QStringLiteral("utf-8"))) << 1 << 0;
            row("UTF-8") << page(coding::Utf8, metaFor(QStringLiteral("UTF-8"))) << 1 << 0;
            row("euc-jp with blanks")
                << page(coding::EucJp,
                        QStringLiteral("<meta content=\"text/html; charset=  euc-jp \">"))
                << 1 << 0;
            row("EUC-JP") << page(coding::EucJp, metaFor(QStringLiteral("EUC-JP"))) << 1 << 0;
            row("iso-2022-jp") << page(coding::Iso2022Jp, metaFor(QStringLiteral("iso-2022-jp")))
                               << extra << 0;
            row("ISO-2022-JP") << page(coding::Iso2022Jp, metaFor(QStringLiteral("ISO-2022-JP")))
                               << extra << 0;
            // Unrecognised declarations leave the page unconverted, so a UTF-8 page reads as
            // Shift_JIS and its word is not found.
            row("mixed case Utf-8 stays unconverted")
                << page(coding::Utf8, metaFor(QStringLiteral("Utf-8"))) << extra << 1;
            row("quoted attribute gives no declaration")
                << page(coding::Utf8, QStringLiteral("<meta charset=\"UTF-8\">")) << extra << 1;
            row("no declaration, Shift_JIS page") << page(coding::Cp932, {}) << extra << 0;
        }
        QTest::newRow("A header-line charset runs to the next quote")
            << true << QByteArray("Content-Type: text/html; charset=UTF-8\r\n")
            << encoded(coding::Utf8, pageSource(metaFor(QStringLiteral("utf-8")))) << 0 << 1;
    }

    void codings()
    {
        QFETCH(bool, socketPath);
        QFETCH(QByteArray, headers);
        QFETCH(QByteArray, body);
        QFETCH(int, fetches);
        QFETCH(int, status);
        const Script page = ScriptedServer::reply("200 OK", body, headers);
        m_server->onRequest(QStringLiteral("/p.html"),
                            socketPath ? page : ScriptedServer::reply("403 Forbidden", "no"));
        m_server->onFetch(QStringLiteral("/p.html"), page);
        setRoute(1, QStringLiteral("p.html"));
        m_checker->PollRoute(1, 0);
        QCOMPARE(m_server->fetchedPaths().size(), fetches);
        QCOMPARE(state(1).Status, status);
        QCOMPARE(m_checker->checkState().PageText.contains(QStringLiteral("山手線 ｶﾀｶﾅ")),
                 status == StatusNormal);
        QCOMPARE(m_display.pageTexts.last(), m_checker->checkState().PageText);
    }

    void doubleByteSplitAcrossChunks()
    {
        const QByteArray page = "HTTP/1.0 200 OK\r\n\r\n" + encoded(coding::Cp932, pageSource({}));
        const qsizetype at = page.indexOf(encoded(coding::Cp932, QStringLiteral("常"))) + 1;
        m_server->onRequest(QStringLiteral("/p.html"),
                            ScriptedServer::chunked({page.left(at), page.mid(at)}, 60));
        setRoute(1, QStringLiteral("p.html"));
        m_checker->PollRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusNormal));
        QVERIFY(m_checker->checkState().PageText.contains(QStringLiteral("現在、平常運転です。")));
    }

    void errorTrapKeepsStatus_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("subtitleStart");
        QTest::addColumn<QString>("validFrom");
        QTest::newRow("section start missing, was delayed")
            << int(StatusDelayed) << QStringLiteral("存在しない見出し") << QString();
        QTest::newRow("section start missing, was normal")
            << int(StatusNormal) << QStringLiteral("存在しない見出し") << QString();
        QTest::newRow("unreadable valid-from time")
            << int(StatusDelayed) << QString() << QStringLiteral("朝");
    }

    void errorTrapKeepsStatus()
    {
        QFETCH(int, before);
        QFETCH(QString, subtitleStart);
        QFETCH(QString, validFrom);
        m_server->onRequest(
            QStringLiteral("/p.html"),
            ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({}))));
        setRoute(1, QStringLiteral("p.html"));
        m_table.setRouteField(1, SubtitleStart, subtitleStart);
        m_table.setRouteField(1, ValidFrom, validFrom);
        m_table.setRouteField(1, ValidTo, validFrom.isEmpty() ? QString() : QStringLiteral("6:00"));
        m_checker->states()[1].Status = before;
        m_checker->PollRoute(1, 0);
        QCOMPARE(state(1).Status, before);
        QCOMPARE(state(1).CheckTime, QStringLiteral("2026-03-05T14:07:09")); // the connect time
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
        m_server->onRequest(
            QStringLiteral("/p.html"),
            ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({}))));
        if (!reachable)
            m_checker->setTimings(testTimings(closedPort()));
        setRoute(1, QStringLiteral("p.html"));
        m_table.setRouteField(1, ValidFrom, QStringLiteral("6:00"));
        m_table.setRouteField(1, ValidTo, QStringLiteral("9:00")); // the clock says 14:07
        m_checker->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
    }

    void hugeReplyStaysBounded()
    {
        CheckTimings t = testTimings(m_server->port());
        t.arrivalPauseMs = 0;
        t.replyWaitMs = 2500;
        m_checker->setTimings(t);
        m_server->onRequest(QStringLiteral("/p.html"),
                            {ScriptedServer::Send{"HTTP/1.0 200 OK\r\n\r\n"},
                             ScriptedServer::Flood{100LL * 1024 * 1024}});
        setRoute(1, QStringLiteral("p.html"));
        const qint64 before = peakResidentKiB();
        m_checker->PollRoute(1, 0);
        const qint64 grown = peakResidentKiB() - before;
        QCOMPARE(state(1).Status, int(StatusDelayed));
        const QString& text = m_checker->checkState().PageText;
        QVERIFY2(text.size() >= 16 * 1024 * 1024 - 64 * 1024, "the flood did not reach the cap");
        QVERIFY(text.size() <= 16 * 1024 * 1024);
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the address sanitizer's quarantine keeps freed memory in the peak");
#endif
        // 16 MiB of bytes held as UTF-16 text is 32 MiB; the rest of 100 MiB must not be kept.
        QVERIFY2(grown < 90 * 1024, qPrintable(QStringLiteral("peak grew by %1 KiB").arg(grown)));
    }

    void fetchOverCapFails()
    {
        CheckTimings t = testTimings(m_server->port());
        t.replyCapBytes = 256 * 1024;
        m_checker->setTimings(t);
        m_server->onRequest(QStringLiteral("/p.html"),
                            ScriptedServer::reply("403 Forbidden", "no"));
        m_server->onFetch(QStringLiteral("/p.html"),
                          ScriptedServer::reply("200 OK", QByteArray(1024 * 1024, 'a')));
        setRoute(1, QStringLiteral("p.html"));
        m_checker->states()[1].Status = StatusNormal;
        m_checker->PollRoute(1, 0);
        QCOMPARE(m_server->fetchedPaths().size(), 1);
        QCOMPARE(state(1).Status, int(StatusNormal));
    }

    void checksNeverOverlap()
    {
        m_server->onRequest(
            QStringLiteral("/p.html"),
            ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({}))));
        setRoute(1, QStringLiteral("p.html"));
        setRoute(2, QStringLiteral("p.html"));
        QTimer::singleShot(50, this, [this] {
            m_checker->PollRoute(2, 0);
            m_checker->CheckRoute(2, 0);
        });
        m_checker->PollRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusNormal));
        QCOMPARE(state(2).Status, int(StatusNone));
        QCOMPARE(m_server->connectionCount(), 1);
    }

    void cancelEndsTheWaitSilently()
    {
        m_server->onRequest(QStringLiteral("/p.html"), {ScriptedServer::Hold{}});
        CheckTimings t = testTimings(m_server->port());
        t.replyWaitMs = 60000;
        m_checker->setTimings(t);
        setRoute(1, QStringLiteral("p.html"));
        m_checker->states()[1].Status = StatusDelayed;
        QTimer::singleShot(400, this, [this] { m_checker->cancel(); });
        QElapsedTimer clock;
        clock.start();
        m_checker->CheckRoute(1, 0);
        QVERIFY(clock.elapsed() < 30000);
        QCOMPARE(state(1).Status, int(StatusDelayed));
        QVERIFY(m_display.messages.isEmpty());
        QVERIFY(!m_display.busy);
        QVERIFY(!m_checker->isRunning());
    }

    void interactive_data()
    {
        using Box = QPair<QString, QString>;
        QTest::addColumn<Script>("reply");
        QTest::addColumn<QString>("delayDir");
        QTest::addColumn<QString>("subtitleStart");
        QTest::addColumn<QString>("validTo");
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<Box>>("boxes");
        const QString info = QStringLiteral("運行情報");
        const QString msg = QStringLiteral("メッセージ");
        const Script page = ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({})));
        const Script notFound = ScriptedServer::reply("404 Not Found", "x");
        QTest::newRow("normal") << page << QString() << QString() << QString() << 0
                                << QList<Box>{{QStringLiteral("平常運転です。"), info}};
        QTest::newRow("delayed") << ScriptedServer::reply("200 OK", "<p>運転見合わせ</p>")
                                 << QString() << QString() << QString() << 1
                                 << QList<Box>{{QStringLiteral("遅れがあります。"), info}};
        QTest::newRow("outside hours") << page << QString() << QString() << QStringLiteral("9:00")
                                       << 4 << QList<Box>{{QStringLiteral("時間外です。"), info}};
        QTest::newRow("404 then normal delay page: one box")
            << notFound << QStringLiteral("delay.html") << QString() << QString() << 0
            << QList<Box>{{QStringLiteral("平常運転です。"), info}};
        QTest::newRow("404 twice: one failure box")
            << notFound << QStringLiteral("gone.html") << QString() << QString() << 2
            << QList<Box>{{Failed, msg}};
        QTest::newRow("section start missing: invalid argument")
            << page << QString() << QStringLiteral("存在しない") << QString() << int(StatusNone)
            << QList<Box>{{QStringLiteral("引数が正しくありません。"), msg}};
    }

    void interactive()
    {
        using Box = QPair<QString, QString>;
        QFETCH(Script, reply);
        QFETCH(QString, delayDir);
        QFETCH(QString, subtitleStart);
        QFETCH(QString, validTo);
        QFETCH(int, status);
        QFETCH(QList<Box>, boxes);
        m_server->onRequest(QStringLiteral("/p.html"), reply);
        m_server->onRequest(
            QStringLiteral("/delay.html"),
            ScriptedServer::reply("200 OK", encoded(coding::Cp932, pageSource({}))));
        setRoute(1, QStringLiteral("p.html"), Word, delayDir);
        m_table.setRouteField(1, SubtitleStart, subtitleStart);
        if (!validTo.isEmpty()) {
            m_table.setRouteField(1, ValidFrom, QStringLiteral("6:00"));
            m_table.setRouteField(1, ValidTo, validTo);
        }
        m_checker->CheckRoute(1, 0);
        QCOMPARE(m_display.messages, boxes);
        QCOMPARE(state(1).Status, status);
        QVERIFY(!m_display.busy);
        QCOMPARE(m_display.busyChanges.first(), true);
    }

    void interactiveShowsDeclarationThenPage()
    {
        m_server->onRequest(
            QStringLiteral("/p.html"),
            ScriptedServer::reply(
                "200 OK",
                encoded(coding::Cp932, pageSource(metaFor(QStringLiteral("shift_jis"))))));
        setRoute(1, QStringLiteral("p.html"));
        m_checker->CheckRoute(1, 0);
        QCOMPARE(m_display.pageTexts.size(), 2);
        QCOMPARE(m_display.pageTexts.first(), QStringLiteral("shift_jis"));
        QVERIFY(m_display.pageTexts.last().contains(Word));
        QVERIFY(!m_display.busyDuringMessage); // the pointer is normal before the outcome box
    }

    void interactiveConnectFailure()
    {
        m_checker->setTimings(testTimings(closedPort()));
        setRoute(1, QStringLiteral("p.html"));
        m_checker->CheckRoute(1, 0);
        QCOMPARE(m_display.messages,
                 (QList<QPair<QString, QString>>{{Failed, QStringLiteral("メッセージ")}}));
        QCOMPARE(state(1).Status, int(StatusConnectFailed));
        QVERIFY(!m_display.busy);
    }

    void interactiveEmptyServerShowsNoBox()
    {
        m_checker->CheckRoute(3, 0);
        QVERIFY(m_display.messages.isEmpty());
        QCOMPARE(state(3).Status, int(StatusNoServer));
        QCOMPARE(m_display.statusTexts, QStringList{QStringLiteral("サーバ未設定")});
        QVERIFY(!m_display.busy);
    }
};

QTEST_GUILESS_MAIN(TestRouteChecker)
#include "tst_routechecker.moc"
