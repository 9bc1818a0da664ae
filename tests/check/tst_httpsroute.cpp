// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Routes on HTTPS servers against a real nginx with certificates made by the test, and the byte
// fetch of a plain route naming the same resource as its socket request.
#include "check/RouteChecker.h"
#include "codec/Converter.h"
#include "support/KeptChecks.h"
#include "support/NginxSite.h"
#include "support/Pages.h"
#include "support/RecordingDisplay.h"
#include "support/ScriptedServer.h"
#include "support/ShortTimings.h"

#include <QSslError>
#include <QTest>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

const QString Word = QStringLiteral("平常運転");
const QString Line = QStringLiteral("山手線 ｶﾀｶﾅ");
const QStringList Reached = {QStringLiteral("接続中"), QStringLiteral("接続しました"),
                             QStringLiteral("HTTPサーバに接続")};

QByteArray page(const char* coding, const QString& head, const QString& news)
{
    return Converter(coding).encode(
        QStringLiteral("<html><head>%1</head><body><p>%2</p><p>%3</p></body></html>\n")
            .arg(head, Line, news));
}

const QString Normal = QStringLiteral("現在、平常運転です。");

} // namespace

class TestHttpsRoute : public QObject
{
    Q_OBJECT

    NginxSite m_site;
    ScriptedServer m_silent; // accepts and never answers
    RouteTable m_table;
    RecordingDisplay m_display;
    std::unique_ptr<RouteChecker> m_checker;
    std::unique_ptr<KeptChecks> m_checks;

    void setRoute(int r, const QString& server, const QString& dir, const QString& delayDir = {})
    {
        m_table.setRouteField(r, ServerName, server);
        m_table.setRouteField(r, DirectoryName, dir);
        m_table.setRouteField(r, MatchWord, Word);
        m_table.setRouteField(r, DelayDirectoryName, delayDir);
    }

    QString good() const { return m_site.httpsServer(QStringLiteral("good")); }
    const RouteState& state(int r) const { return m_checks->states()[r]; }

private Q_SLOTS:
    void initTestCase()
    {
        // The plain server serves the page too: following the redirect would find it.
        const QString plain = QStringLiteral("http://127.0.0.1:%1").arg(m_site.plainPort());
        const QString directives =
            QStringLiteral("location = /to-plain.html { return 302 %1/utf8.html; } "
                           "location = /moved.html { return 301 /utf8.html; } "
                           "location /hdr-utf8/ { charset utf-8; } "
                           "location /two-types/ { charset euc-jp; "
                           "add_header Content-Type text/html; } "
                           "location /closed/ { error_page 403 /utf8.html; return 403; } "
                           "location /refused/ { error_page 400 /utf8.html; return 400; } "
                           "location /gz/ { gzip_static always; }")
                .arg(plain);
        QVERIFY2(m_site.start(directives), qPrintable(m_site.error()));
        m_silent.onRequest(QStringLiteral("/p.html"), {ScriptedServer::Hold{}});
        qputenv("SSL_CERT_FILE", QFile::encodeName(m_site.certificates().caFile()));

        const QString utf8 = metaFor(QStringLiteral("utf-8"));
        const QString delayed = QStringLiteral("運転を見合わせています。");
        // A folder named 運行 in Shift_JIS and one named 運行 in UTF-8, with different news, so
        // a request for the wrong one cannot pass unnoticed.
        const QList<QPair<QByteArray, QByteArray>> files = {
            {"sjis.html", page(coding::Cp932, metaFor(QStringLiteral("shift_jis")), Normal)},
            {"utf8.html", page(coding::Utf8, utf8, Normal)},
            {"euc.html", page(coding::EucJp, metaFor(QStringLiteral("EUC-JP")), Normal)},
            {"hdr-utf8/p.html", page(coding::Utf8, {}, Normal)},
            {"two-types/p.html", page(coding::EucJp, {}, Normal)},
            {"hdr-utf8/attr.html",
             page(coding::Utf8, QStringLiteral("<meta charset=\"UTF-8\">"), Normal)},
            {"delayed.html", page(coding::Utf8, utf8, delayed)},
            {"notfound.html",
             page(coding::Utf8, utf8, QStringLiteral("ページが見つかりません。") + Normal)},
            {"big.html", QByteArray(1024 * 1024, 'a')},
            {"gz/plain.html.gz", page(coding::Utf8, utf8, Normal)},
            {"gz/cut.html.gz", gzipped(page(coding::Utf8, utf8, Normal)).chopped(9)},
            {encodeCp932(QStringLiteral("運行/utf8.html")), page(coding::Utf8, utf8, Normal)},
            {QStringLiteral("運行/utf8.html").toUtf8(), page(coding::Utf8, utf8, delayed)}};
        for (const auto& [path, bytes] : files)
            QVERIFY(m_site.put(path, bytes));
    }

    void init()
    {
        m_table = RouteTable();
        m_display = RecordingDisplay();
        m_checker = std::make_unique<RouteChecker>(m_display);
        m_checker->setRoutes(m_table);
        m_checks = std::make_unique<KeptChecks>(*m_checker);
        m_checker->setTimings(shortCheckTimings(m_site.plainPort()));
        m_checker->setClock([] { return QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)); });
    }

    void codings_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("coding");
        auto row = [](const char* name, const QString& directory, int status, const char* coding) {
            QTest::newRow(name) << directory << status << QString::fromLatin1(coding);
        };
        row("shift_jis declared", QStringLiteral("sjis.html"), 0, "Shift_JIS (meta)");
        row("utf-8 declared", QStringLiteral("utf8.html"), 0, "UTF-8 (meta)");
        row("utf-8 from the header", QStringLiteral("hdr-utf8/p.html"), 0, "UTF-8 (header)");
        row("header charset where the meta attribute gives none",
            QStringLiteral("hdr-utf8/attr.html"), 0, "UTF-8 (header)");
        row("two Content-Type headers keep the charset", QStringLiteral("two-types/p.html"), 0,
            "EUC-JP (header)");
        row("delayed", QStringLiteral("delayed.html"), 1, "UTF-8 (meta)");
        row("redirect within https followed", QStringLiteral("moved.html"), 0, "UTF-8 (meta)");
        row("japanese path names the UTF-8 folder", QStringLiteral("運行/utf8.html"), 1,
            "UTF-8 (meta)");
    }

    void codings()
    {
        QFETCH(QString, directory);
        QFETCH(int, status);
        QFETCH(QString, coding);
        setRoute(1, good(), directory);
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, status);
        QCOMPARE(m_display.codings, QStringList{coding});
        QCOMPARE(m_display.statusTexts, Reached);
        QVERIFY(m_checker->checkState().PageText.contains(Line));
        QCOMPARE(state(1).CheckTime, QStringLiteral("2026-03-05T14:07:09"));
        QCOMPARE(m_checker->checkState().Connected, 1);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("delayDir");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("detail");
        auto row = [](const char* name, const QString& server, const char* directory,
                      const QStringList& texts, const QString& detail = {},
                      const char* delayDir = "") {
            QTest::newRow(name) << server << QString::fromUtf8(directory)
                                << QString::fromUtf8(delayDir) << texts << detail;
        };
        const QString failed = QStringLiteral("接続失敗");
        const QStringList unreached = {QStringLiteral("接続中"), failed};
        const QStringList refused = Reached + QStringList{failed};
        row("certificate for another host", m_site.httpsServer(QStringLiteral("wronghost")),
            "utf8.html", unreached, QSslError(QSslError::HostNameMismatch).errorString());
        row("expired certificate, delay directory tried once",
            m_site.httpsServer(QStringLiteral("expired")), "utf8.html", unreached + unreached,
            QSslError(QSslError::CertificateExpired).errorString(), "sjis.html");
        row("redirect down to plain http", good(), "to-plain.html", refused);
        row("refused connection", QStringLiteral("https://127.0.0.1:%1").arg(closedPort()),
            "utf8.html", unreached);
        row("server that never answers",
            QStringLiteral("https://127.0.0.1:%1").arg(m_silent.port()), "p.html", unreached);
        row("404 without delay directory", good(), "missing.html", refused,
            QStringLiteral("HTTP 404"));
        row("404 twice", good(), "missing.html", refused + refused, QStringLiteral("HTTP 404"),
            "gone.html");
        row("site's own not-found page in UTF-8", good(), "notfound.html", refused);
        // A refusal's page is never read, whatever it carries.
        row("403", good(), "closed/p.html", Reached + QStringList{failed + ": HTTP 403"},
            QStringLiteral("HTTP 403"));
        row("400", good(), "refused/p.html", Reached + QStringList{failed + ": HTTP 400"},
            QStringLiteral("HTTP 400"));
        row("gzip over a plain body", good(), "gz/plain.html", refused,
            QStringLiteral("gzip の本文を展開できません（壊れています）"));
        row("gzip stream cut short", good(), "gz/cut.html", refused,
            QStringLiteral("gzip の本文を展開できません（途中で切れています）"));
    }

    void failures()
    {
        QFETCH(QString, server);
        QFETCH(QString, directory);
        QFETCH(QString, delayDir);
        QFETCH(QStringList, texts);
        QFETCH(QString, detail);
        setRoute(1, server, directory, delayDir);
        setRoute(2, good(), QStringLiteral("utf8.html"));
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusConnectFailed));
        QCOMPARE(m_display.statusTexts, texts);
        QCOMPARE(m_checker->checkState().Connected, 0);
        QVERIFY(!state(1).CheckTime.isEmpty());
        if (!detail.isEmpty())
            QVERIFY2(m_display.failureDetails.join(QLatin1Char('\n')).contains(detail),
                     qPrintable(m_display.failureDetails.join(QLatin1Char('\n'))));
        QVERIFY(m_display.messages.isEmpty());

        // The next route is checked as if nothing had happened.
        m_display = RecordingDisplay();
        m_checks->PollRoute(2, 0);
        QCOMPARE(state(2).Status, int(StatusNormal));
        QCOMPARE(m_display.statusTexts, Reached);
    }

    void delayDirectoryServes()
    {
        setRoute(1, good(), QStringLiteral("missing.html"), QStringLiteral("euc.html"));
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusNormal));
        QCOMPARE(m_display.statusTexts,
                 Reached + QStringList{QStringLiteral("接続失敗")} + Reached);
    }

    void pageOverTheCap()
    {
        CheckTimings t = shortCheckTimings(m_site.plainPort());
        t.replyCapBytes = 256 * 1024;
        m_checker->setTimings(t);
        setRoute(1, good(), QStringLiteral("big.html"));
        m_checks->states()[1].Status = StatusDelayed;
        m_checks->CheckRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusDelayed)); // the error trap keeps the last status
        QCOMPARE(m_display.messages,
                 (QList<QPair<QString, QString>>{
                     {QStringLiteral("ページが大きすぎます。"), QStringLiteral("メッセージ")}}));
        QVERIFY(!m_display.busy);
    }

    void interactiveShowsDeclarationThenPage()
    {
        setRoute(1, good(), QStringLiteral("hdr-utf8/p.html"));
        m_checks->CheckRoute(1, 0);
        QCOMPARE(m_display.pageTexts.size(), 2);
        QCOMPARE(m_display.pageTexts.first(), QStringLiteral("utf-8"));
        QVERIFY(m_display.pageTexts.last().contains(Normal));
        QCOMPARE(m_display.messages,
                 (QList<QPair<QString, QString>>{
                     {QStringLiteral("平常運転です。"), QStringLiteral("運行情報")}}));
    }

    // A plain route's byte fetch must ask for the bytes the socket request named, or a page
    // under a Japanese folder is judged from the server's 404 page.
    void byteFetchNamesTheSocketPath()
    {
        setRoute(1, QStringLiteral("127.0.0.1"), QStringLiteral("運行/utf8.html"));
        m_checks->PollRoute(1, 0);
        QCOMPARE(state(1).Status, int(StatusNormal));
        QVERIFY(m_checker->checkState().PageText.contains(Normal));
    }
};

QTEST_GUILESS_MAIN(TestHttpsRoute)
#include "tst_httpsroute.moc"
