// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The check's side of the page-reading helper, against stand-ins that answer out of order, hang
// whole, crash or refuse to run: the right text for each page, failures that never read as a
// page, the engine's absence told apart, and nothing of the helper left behind.
#include "render/PageRenderer.h"

#include "support/StandInRenderer.h"

#include <QTest>

using namespace senrokan;
using namespace senrokan::test;

class TestPageRenderer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helperStates_data()
    {
        QTest::addColumn<QByteArray>("body");  // the stand-in's script; null: none installed
        QTest::addColumn<int>("pages");        // pages asked for side by side, then read
        QTest::addColumn<QString>("readings"); // each page's text, or "!" and why it has none
        QTest::addColumn<bool>("noEngine");

        // The stand-in answers only once both pages were asked for.
        QTest::newRow("two pages answered out of order")
            << QByteArray("read a; read b\n"
                          "echo '{\"id\":2,\"ok\":true,\"status\":200,\"text\":\"二\",\"ms\":5}'\n"
                          "echo '{\"id\":1,\"ok\":true,\"status\":200,\"text\":\"一\",\"ms\":7}'\n"
                          "cat > /dev/null")
            << 2 << QStringLiteral("一|二") << false;
        QTest::newRow("a page's failure passed on")
            << QByteArray("read a\n"
                          "echo '{\"id\":1,\"ok\":false,\"status\":404,\"detail\":\"HTTP 404\"}'\n"
                          "cat > /dev/null")
            << 1 << QStringLiteral("!HTTP 404") << false;
        QTest::newRow("hangs whole, with a process of its own")
            << QByteArray("sleep 60 & echo $! >> \"$(dirname \"$0\")/pids\"\nsleep 60") << 1
            << QStringLiteral("!limit") << false;
        QTest::newRow("floods its output")
            << QByteArray("read a\nhead -c 70000000 /dev/zero") << 1
            << QStringLiteral("!the rendered text is too large") << false;
        QTest::newRow("crashes") << QByteArray("read a\nkill -KILL $$") << 1
                                 << QStringLiteral("!the browser ended before the page was read")
                                 << false;
        QTest::newRow("engine cannot run here")
            << QByteArray("echo 'engine chatter' >&2\necho 'no sandbox as root' >&2\nexit 2") << 1
            << QStringLiteral("!no sandbox as root") << true;
        QTest::newRow("not installed")
            << QByteArray() << 1
            << QStringLiteral("!「ブラウザで読む」には senrokan-browser パッケージが必要です")
            << true;
    }

    void helperStates()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, pages);
        QFETCH(QString, readings);
        QFETCH(bool, noEngine);
        QTemporaryDir dir;
        PageRenderer renderer;
        renderer.setProgram(body.isNull() ? dir.filePath(QStringLiteral("missing"))
                                          : writeStandInRenderer(dir, body));
        renderer.setLimits(500, 2000);
        QList<QUrl> urls;
        for (int n = 1; n <= pages; ++n)
            urls << QUrl(QStringLiteral("http://127.0.0.1/%1.html").arg(n));
        renderer.prefetch(urls);

        QStringList read;
        for (const QUrl& url : urls) {
            const RenderedPage page = renderer.read(url);
            QCOMPARE(page.noEngine, noEngine);
            QVERIFY(page.ok != page.text.isNull() || !page.ok);
            read << (page.ok ? page.text : u'!' + page.detail);
        }
        QCOMPARE(read.join(u'|'), readings);
        renderer.finish();
        // A killed process takes a moment to end.
        QTRY_COMPARE(runningStandIns(dir), QStringList());
    }

    // A helper ended by finish() is started anew by the next read, and its answers are not
    // taken for the new one's.
    void startsAnewAfterFinish()
    {
        QTemporaryDir dir;
        PageRenderer renderer;
        renderer.setProgram(writeStandInRenderer(
            dir, "n=$(wc -l < \"$(dirname \"$0\")/pids\")\n"
                 "while read line; do id=${line#*\\\"id\\\":}; id=${id%%,*}\n"
                 "echo \"{\\\"id\\\":$id,\\\"ok\\\":true,\\\"status\\\":200,\\\"text\\\":\\\"run "
                 "$n\\\"}\"\n"
                 "done"));
        const QUrl url(QStringLiteral("http://127.0.0.1/a.html"));
        QCOMPARE(renderer.read(url).text, u"run 1");
        renderer.finish();
        QCOMPARE(renderer.read(url).text, u"run 2");
        renderer.finish();
        // A killed process takes a moment to end.
        QTRY_COMPARE(runningStandIns(dir), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPageRenderer)
#include "tst_pagerenderer.moc"
