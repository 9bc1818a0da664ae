// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The addresses built from a route's fields: the web view's, and the URLs the HTTP client asks.
#include "route/RouteAddress.h"

#include <QTest>

using namespace senrokan;

namespace
{

RouteDefinition route(const QString& server, const QString& directory,
                      const QString& port = QStringLiteral("80"), const QString& delay = {})
{
    RouteDefinition def;
    def[ServerName] = server;
    def[DirectoryName] = directory;
    def[PortNumber] = port;
    def[DelayDirectoryName] = delay;
    return def;
}

} // namespace

Q_DECLARE_METATYPE(senrokan::RouteDefinition)

class TestRouteAddress : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void webView_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("address");
        QTest::newRow("empty server")
            << QString() << QStringLiteral("line1.html") << QStringLiteral("http:///line1.html");
        QTest::newRow("https host")
            << QStringLiteral("https://traininfo.example.jp") << QStringLiteral("info/運行.html")
            << QStringLiteral("https://traininfo.example.jp/info/運行.html");
        QTest::newRow("scheme in capitals")
            << QStringLiteral("HTTPS://traininfo.example.jp") << QStringLiteral("a.html")
            << QStringLiteral("HTTPS://traininfo.example.jp/a.html");
        QTest::newRow("host that only starts with https")
            << QStringLiteral("https.example.jp") << QStringLiteral("a.html")
            << QStringLiteral("http://https.example.jp/a.html");
    }

    void webView()
    {
        QFETCH(QString, server);
        QFETCH(QString, directory);
        QFETCH(QString, address);
        QCOMPARE(webViewAddress(route(server, directory)), address);
    }

    // What goes on the wire after "GET ": the socket request sends the path's CP932 bytes raw.
    void byteFetchRequest_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("japanese folder as CP932 bytes")
            << QStringLiteral("運行/a.html") << QByteArray("/%89%5E%8Ds/a.html");
        QTest::newRow("trail byte that is a backslash")
            << QStringLiteral("表.html") << QByteArray("/%95%5C.html");
        QTest::newRow("query stays a query")
            << QStringLiteral("s.cgi?line=1&d=2") << QByteArray("/s.cgi?line=1&d=2");
        QTest::newRow("already encoded stays")
            << QStringLiteral("a%20b.html") << QByteArray("/a%20b.html");
    }

    void byteFetchRequest()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, target);
        const QUrl url = byteFetchUrl(QStringLiteral("127.0.0.1"), path, 80);
        QVERIFY(url.isValid());
        QCOMPARE(url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority), target);
        QCOMPARE(url.port(), -1);
        QCOMPARE(byteFetchUrl(QStringLiteral("127.0.0.1"), path, 8080).port(), 8080);
    }

    // The browser engine's address: the web view's, on the check's port when the field has none.
    void renderedPage_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<quint16>("port");
        QTest::addColumn<QString>("url");
        QTest::newRow("plain host on 80") << QStringLiteral("127.0.0.1") << quint16(80)
                                          << QStringLiteral("http://127.0.0.1/a.html");
        QTest::newRow("plain host on the check's port")
            << QStringLiteral("127.0.0.1") << quint16(8080)
            << QStringLiteral("http://127.0.0.1:8080/a.html");
        QTest::newRow("port in the field wins") << QStringLiteral("127.0.0.1:81") << quint16(8080)
                                                << QStringLiteral("http://127.0.0.1:81/a.html");
        QTest::newRow("https keeps its own port")
            << QStringLiteral("https://127.0.0.1:8443") << quint16(8080)
            << QStringLiteral("https://127.0.0.1:8443/a.html");
    }

    void renderedPage()
    {
        QFETCH(QString, server);
        QFETCH(quint16, port);
        QFETCH(QString, url);
        QCOMPARE(
            renderedPageUrl(pageAddress(route(server, QStringLiteral("a.html"))), port).toString(),
            url);
    }

    // Where the check connects and what it asks for: a whole address as typed, a bare host on
    // the port field's port; -1 leaves the check's own port.
    void checkedAddress_data()
    {
        QTest::addColumn<RouteDefinition>("def");
        QTest::addColumn<bool>("retry");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("target");
        const QString host = QStringLiteral("traininfo.example.jp");
        QTest::newRow("whole http address, empty directory")
            << route("http://traininfo.example.jp:8080/unkou/a.cgi?line=1#top", {}) << false << host
            << 8080 << "unkou/a.cgi?line=1";
        QTest::newRow("https in capitals names no path: the directory")
            << route("HTTPS://TrainInfo.example.jp:8443", "a.html") << false << host << 8443
            << "a.html";
        QTest::newRow("retry asks the delay directory on the same server")
            << route("http://traininfo.example.jp:8080/a.html?x=1", {}, "80", "delay.html") << true
            << host << 8080 << "delay.html";
        QTest::newRow("port field for a bare host")
            << route(host, "a.html", " 8080 ") << false << host << 8080 << "a.html";
        QTest::newRow("unreadable port field")
            << route(host, "a.html", "8O80") << false << host << -1 << "a.html";
        QTest::newRow("port field ignored by a whole address")
            << route("http://traininfo.example.jp/a.html", {}, "8080") << false << host << -1
            << "a.html";
    }

    void checkedAddress()
    {
        QFETCH(RouteDefinition, def);
        QFETCH(bool, retry);
        const PageAddress address = pageAddress(def, retry);
        QTEST(address.host, "host");
        QTEST(address.port, "port");
        QTEST(address.target, "target");
    }

    void httpsRequestSendsAJapanesePathAsUtf8()
    {
        QCOMPARE(httpsPageUrl(QStringLiteral("https://traininfo.example.jp"),
                              QStringLiteral("運行/a.html"))
                     .toEncoded(),
                 QByteArray("https://traininfo.example.jp/%E9%81%8B%E8%A1%8C/a.html"));
    }
};

QTEST_GUILESS_MAIN(TestRouteAddress)
#include "tst_routeaddress.moc"
