// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The routes' web views on the offscreen platform: none exists and no browser library is mapped
// until a route shows a page, the text view stands in when the browser plugin cannot be used,
// and the browser is never started where its sandbox would refuse to run.
#include "app/DesktopProgram.h"
#include "support/Files.h"
#include "support/ProcessRun.h"
#include "window/Form1.h"
#include "window/PageTextArea.h"
#include "window/RouteWebView.h"
#include "window/WebViewLoader.h"

#include <QTemporaryDir>
#include <QTest>

using namespace senrokan;
using senrokan::test::libraryMapped;

class TestWebView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noBrowserAtStartUp()
    {
        DesktopProgram program;
        Form1& window = program.window();
        program.start();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<RouteWebView*> views = window.findChildren<RouteWebView*>();
        QCOMPARE(views.size(), 5);
        for (const RouteWebView* view : views)
            QCOMPARE(view->view(), nullptr);
        QVERIFY(!WebViewLoader::program().pluginLoaded());
        // Nor anything else an idle program does not use: sound, TLS.
        for (const char* library : {"libQt6WebEngine", "libQt6Multimedia", "libssl", "libcrypto"})
            QVERIFY2(!libraryMapped(library), library);
    }

    void textView_data()
    {
        QTest::addColumn<QByteArray>("pluginBytes"); // empty: no file at all
        QTest::newRow("plugin missing") << QByteArray();
        QTest::newRow("plugin not a library") << QByteArray("not a shared object\n");
    }

    void textView()
    {
        QFETCH(QByteArray, pluginBytes);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pluginFile = dir.filePath(QStringLiteral("senrokan_webview.so"));
        if (!pluginBytes.isEmpty())
            test::writeBytes(pluginFile, pluginBytes);
        WebViewLoader loader(pluginFile);
        RouteWebView route(2, loader);
        route.show(); // the text view lays nothing out in a window never shown

        // The address, then the page text as it came, never read as markup.
        const QString first = QStringLiteral("<html><b>山手線</b> 平常運転</html>");
        route.navigate(QStringLiteral("http://127.0.0.1/line2.html"), first);
        auto* text = qobject_cast<PageTextArea*>(route.view());
        QVERIFY(text);
        QCOMPARE(text->toPlainText(), "http://127.0.0.1/line2.html\n\n" + first);
        QCOMPARE(route.url(), QStringLiteral("http://127.0.0.1/line2.html"));

        const QString second = QStringLiteral("運転を見合わせています。");
        route.navigate(QStringLiteral("http://127.0.0.1/delay.html"), second);
        QCOMPARE(route.view(), text);
        QCOMPARE(text->toPlainText(), "http://127.0.0.1/delay.html\n\n" + second);
        QCOMPARE(route.url(), QStringLiteral("http://127.0.0.1/delay.html"));

        // A check that got no page leaves only the address, none of the page before.
        route.navigate(QStringLiteral("http:///delay.html"), QString());
        QCOMPARE(text->toPlainText(), QStringLiteral("http:///delay.html"));
        QVERIFY(!libraryMapped("libQt6WebEngine"));
    }

    void refusal_data()
    {
        QTest::addColumn<bool>("root");
        QTest::addColumn<bool>("disableSandbox");
        QTest::addColumn<QByteArray>("chromiumFlags");
        QTest::addColumn<bool>("refused");
        QTest::newRow("user") << false << false << QByteArray() << false;
        QTest::newRow("user, sandbox switched off") << false << true << QByteArray() << false;
        QTest::newRow("root") << true << false << QByteArray() << true;
        QTest::newRow("root, QTWEBENGINE_DISABLE_SANDBOX") << true << true << QByteArray() << false;
        QTest::newRow("root, --no-sandbox among the flags")
            << true << false << QByteArray("--disable-gpu --no-sandbox --no-first-run") << false;
        QTest::newRow("root, other flags only")
            << true << false << QByteArray("--disable-gpu --no-sandboxes") << true;
    }

    void refusal()
    {
        QFETCH(bool, root);
        QFETCH(bool, disableSandbox);
        QFETCH(QByteArray, chromiumFlags);
        QFETCH(bool, refused);
        const QString why = WebViewLoader::refusal(root, disableSandbox, chromiumFlags);
        QCOMPARE(!why.isEmpty(), refused);
        if (refused)
            QVERIFY2(why.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX=1")),
                     qPrintable(why));
    }
};

QTEST_MAIN(TestWebView)
#include "tst_webview.moc"
