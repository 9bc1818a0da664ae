// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// A route's browser for real: the browser plugin of the built program on an X server of the
// test's own (run under senrokan-testenv display), loading a page from a scripted server on
// loopback; the page title is read back through the plugin. The browser's libraries are mapped
// by the first page, not before.
#include "platform/WebViewFactory.h"
#include "support/ProcessRun.h"
#include "support/ScriptedServer.h"
#include "window/RouteWebView.h"
#include "window/WebViewLoader.h"

#include <QApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

using namespace senrokan;
using senrokan::test::libraryMapped;
using senrokan::test::ScriptedServer;

class TestWebViewE2e : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadsPage()
    {
#ifndef SENROKAN_WITH_WEBENGINE
        QSKIP("built without Qt WebEngine (SENROKAN_WITH_WEBENGINE is OFF): no browser to test");
#endif
        ScriptedServer server;
        server.onFetch(
            "/utf8.html",
            ScriptedServer::reply("200 OK", QStringLiteral("<html><head><meta charset=\"UTF-8\">"
                                                           "<title>山手線 平常運転</title></head>"
                                                           "<body><p>山手線</p></body></html>")
                                                .toUtf8()));
        WebViewLoader loader(WebViewLoader::programPluginFile(
            QFileInfo(QStringLiteral(SENROKAN_EXE)).absolutePath()));
        RouteWebView route(1, loader);
        route.resize(640, 480);
        route.show();
        QVERIFY(QTest::qWaitForWindowExposed(&route));
        QCOMPARE(route.view(), nullptr);
        // Nothing so far has needed the browser.
        QVERIFY(!libraryMapped("libQt6WebEngine"));

        // The program never sets Qt::AA_ShareOpenGLContexts at start; the loader must make up for
        // it before the browser's library initialises.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("initialized from a plugin")));
        route.navigate(QStringLiteral("http://127.0.0.1:%1/utf8.html").arg(server.port()),
                       QStringLiteral("as text"));
        platform::WebViewFactory* browser = loader.factory();
        QVERIFY2(browser, "the browser plugin did not load; see the line on stderr");
        QVERIFY(libraryMapped("libQt6WebEngine"));
        QVERIFY(route.view());
        // The timeout only guards against hanging.
        QTRY_COMPARE_WITH_TIMEOUT(browser->title(route.view()), QStringLiteral("山手線 平常運転"),
                                  60000);
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TestWebViewE2e test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webview_e2e.moc"
