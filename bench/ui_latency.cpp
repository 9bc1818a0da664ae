// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// How quickly the main window answers input while a check reads a page that a server dribbles
// in small pieces, and while the page text then fills the page-text area: another thread posts
// a key press to a route field every 2 ms, stamped, and the window's event filter notes how long
// each waited. Prints the 50th, 99th percentile and the longest wait, which is the longest turn
// of the event loop, for the check and for the filling apart.
// Usage: ui_latency [page KB] [piece bytes] [pause ms] [kind]
// The kind of page: "rows" (the default), Shift_JIS table rows; "one-line", the same rows
// without line breaks, as minified pages and feeds come; "line-ends", UTF-8 line ends only;
// "marks", one letter under UTF-8 combining marks. Each ends in the match word.
#include "app/DesktopProgram.h"
#include "codec/Converter.h"
#include "support/FloodPages.h"
#include "support/ProcessFigures.h"
#include "support/ScriptedServer.h"
#include "window/Form1.h"
#include "window/PageTextArea.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

using namespace senrokan;

namespace
{

QElapsedTimer clock_;

class StampedKey : public QKeyEvent
{
public:
    StampedKey() : QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"))
    {
        postedNs = clock_.nsecsElapsed();
    }
    qint64 postedNs;
};

class Waits : public QObject
{
public:
    std::vector<double> checkMs; // of keys posted before the check returned
    std::vector<double> fillMs;  // of keys posted after
    qint64 checkEndNs = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (auto* key = dynamic_cast<StampedKey*>(event)) {
            const bool filling = checkEndNs >= 0 && key->postedNs >= checkEndNs;
            (filling ? fillMs : checkMs).push_back((clock_.nsecsElapsed() - key->postedNs) / 1e6);
            return true;
        }
        return false;
    }
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5)));
}

void printWaits(const char* during, const std::vector<double>& ms)
{
    if (ms.empty()) {
        std::printf("input waits %s: none\n", during);
        return;
    }
    std::printf("input waits %s over %zu events: p50 %.1f ms, p99 %.1f ms, longest %.1f ms\n",
                during, ms.size(), percentile(ms, 0.5), percentile(ms, 0.99),
                *std::max_element(ms.begin(), ms.end()));
}

// The page as the server sends it, headers included.
QByteArray pageReply(const QByteArray& kind, qsizetype bytes)
{
    const QString end = QStringLiteral("<p>平常運転</p></body></html>");
    if (kind == "line-ends" || kind == "marks") {
        const qsizetype chars = bytes - end.toUtf8().size();
        const QString text =
            kind == "marks" ? test::markRunText(chars / 2 - 1) : test::lineEndsText(chars);
        return "HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n" +
               (text + end).toUtf8();
    }
    const QString lineEnd = kind == "one-line" ? QString() : QStringLiteral("\r\n");
    QByteArray page =
        encodeCp932(QStringLiteral("<html><body><p>山手線 ダイヤが乱れています</p>") + lineEnd);
    const QByteArray row =
        encodeCp932(QStringLiteral("<tr><td>列車の遅れ ｶﾀｶﾅ 12:34</td></tr>") + lineEnd);
    while (page.size() < bytes)
        page += row;
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + page + encodeCp932(end + lineEnd);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pageKb = argc > 1 ? std::atoi(argv[1]) : 2048;
    const int piece = argc > 2 ? std::atoi(argv[2]) : 2048;
    const int pauseMs = argc > 3 ? std::atoi(argv[3]) : 1;
    const QByteArray kind = argc > 4 ? QByteArray(argv[4]) : QByteArrayLiteral("rows");
    if (!QList<QByteArray>{"rows", "one-line", "line-ends", "marks"}.contains(kind)) {
        std::fprintf(stderr, "usage: ui_latency [page KB] [piece bytes] [pause ms] "
                             "[rows|one-line|line-ends|marks]\n");
        return 64;
    }

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QByteArray reply = pageReply(kind, qsizetype(pageKb) * 1024);
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < reply.size(); at += piece)
        pieces << reply.mid(at, piece);
    test::ScriptedServer server;
    server.onRequest("/page.html", test::ScriptedServer::chunked(pieces, pauseMs));

    DesktopProgram program;
    Form1& window = program.window();
    program.start();
    window.show();
    CheckTimings timings; // the program's own waits and arrival pause
    timings.port = server.port();
    program.checker().setTimings(timings);
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("Text1(1)"));
    window.findChild<QLineEdit*>(QStringLiteral("Text1(2)"))->setText(QStringLiteral("127.0.0.1"));
    window.findChild<QLineEdit*>(QStringLiteral("Text1(3)"))->setText(QStringLiteral("page.html"));
    window.findChild<QLineEdit*>(QStringLiteral("Text1(4)"))->setText(QStringLiteral("平常運転"));
    Waits waits;
    field->installEventFilter(&waits);

    clock_.start();
    // Key events name the keyboard device; Qt creates it on the thread that asks first.
    QInputDevice::primaryKeyboard();
    std::atomic<bool> checking{true};
    std::thread poster([&] {
        while (checking) {
            QCoreApplication::postEvent(field, new StampedKey);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    QElapsedTimer took;
    took.start();
    program.round().run({CheckSource::Timed, 1, false, {}});
    const qint64 checkedMs = took.elapsed();
    waits.checkEndNs = clock_.nsecsElapsed();
    const qint64 checkedKiB = test::residentKiB();
    // The page text goes into the page-text area after the check; input keeps coming meanwhile.
    auto* area = window.findChild<PageTextArea*>(QStringLiteral("RichTextBox1"));
    while (area->isFilling())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 filledMs = took.elapsed();
    const qint64 areaKiB = test::residentKiB() - checkedKiB;
    checking = false;
    poster.join();
    QCoreApplication::processEvents();

    std::printf("page %d KB (%s) in %d-byte pieces every %d ms; the check took %lld ms, the page "
                "text %lld ms more; status %d, page text %lld chars, the area %d lines and %lld "
                "KiB more resident memory\n",
                pageKb, kind.constData(), piece, pauseMs, checkedMs, filledMs - checkedMs,
                program.round().states()[1].Status,
                qlonglong(program.checker().checkState().PageText.size()),
                area->document()->blockCount(), areaKiB);
    printWaits("during the check", waits.checkMs);
    printWaits("while the page text fills", waits.fillMs);
    return 0;
}
