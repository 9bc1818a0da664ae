// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// How quickly the main window answers input while a check reads a page that a server dribbles
// in small pieces: another thread posts a key press to a route field every 2 ms, stamped, and
// the window's event filter notes how long each waited. Prints the 50th, 99th percentile and
// the longest wait. Usage: ui_latency [page KB] [piece bytes] [pause ms] [one-line]
// "one-line" sends the page without line breaks, as minified pages and feeds come.
#include "codec/Converter.h"
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
    std::vector<double> ms;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (auto* key = dynamic_cast<StampedKey*>(event)) {
            ms.push_back((clock_.nsecsElapsed() - key->postedNs) / 1e6);
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

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pageKb = argc > 1 ? std::atoi(argv[1]) : 2048;
    const int piece = argc > 2 ? std::atoi(argv[2]) : 2048;
    const int pauseMs = argc > 3 ? std::atoi(argv[3]) : 1;
    const bool oneLine = argc > 4 && std::strcmp(argv[4], "one-line") == 0;
    const QString lineEnd = oneLine ? QString() : QStringLiteral("\r\n");

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    QByteArray page =
        encodeCp932(QStringLiteral("<html><body><p>山手線 ダイヤが乱れています</p>") + lineEnd);
    const QByteArray row =
        encodeCp932(QStringLiteral("<tr><td>列車の遅れ ｶﾀｶﾅ 12:34</td></tr>") + lineEnd);
    while (page.size() < pageKb * 1024)
        page += row;
    page += encodeCp932(QStringLiteral("<p>平常運転</p></body></html>") + lineEnd);
    QList<QByteArray> pieces{"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"};
    for (qsizetype at = 0; at < page.size(); at += piece)
        pieces << page.mid(at, piece);
    test::ScriptedServer server;
    server.onRequest("/page.html", test::ScriptedServer::chunked(pieces, pauseMs));

    Form1 window;
    window.Form_Load();
    window.show();
    CheckTimings timings; // the program's own waits and arrival pause
    timings.port = server.port();
    window.checker().setTimings(timings);
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
    window.checker().PollRoute(1, 0);
    // The page text goes into the page-text area after the check; input keeps coming meanwhile.
    auto* area = window.findChild<PageTextArea*>(QStringLiteral("RichTextBox1"));
    while (area->isFilling())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 filledMs = took.elapsed();
    checking = false;
    poster.join();
    QCoreApplication::processEvents();

    std::printf("page %d KB%s in %d-byte pieces every %d ms; check and page text took %lld ms, "
                "status %d, page text %lld chars\n",
                pageKb, oneLine ? " on one line" : "", piece, pauseMs, filledMs,
                window.checker().states()[1].Status,
                qlonglong(window.checker().checkState().PageText.size()));
    std::printf("input waits over %zu events: p50 %.1f ms, p99 %.1f ms, max %.1f ms\n",
                waits.ms.size(), percentile(waits.ms, 0.5), percentile(waits.ms, 0.99),
                *std::max_element(waits.ms.begin(), waits.ms.end()));
    return 0;
}
