// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ScriptPages.h"

#include "codec/Converter.h"

namespace senrokan::test
{

namespace
{

// The pages' folder on the site.
const QByteArray Folder = "render/";

// The feeds the pages fetch; the slow one's body trickles out over about three seconds after its
// headers, longer than the quiet a reading waits for, so a reader that does not wait for
// requests in flight, bodies included, reads early.
const QByteArray Feed = R"({"state":"平常運転"})";
const QByteArray SlowFeed = R"({"state":"平常運転"})" + QByteArray(32000, ' ');
const char* const SlowRate = "location = /render/slow.json { limit_rate 8k; }";

QByteArray html(const QByteArray& body)
{
    return QByteArray("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>運行情報</title>"
                      "</head><body>") +
           body + "</body></html>\n";
}

// A script that writes into <p id="s"> what the expression gives; the pages that show the word
// only through a script spell it in two halves, so that it is never in their bytes.
QByteArray writer(const char* expression)
{
    return QByteArray("<p>運行状況: <span id=\"s\">読み込み中</span></p><script>") +
           "const show = (t) => { document.getElementById('s').textContent = t; };" + expression +
           "</script>";
}

QByteArray shiftJisPage()
{
    return encodeCp932(QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"Shift_JIS\"><title>運行情報</title></head>"
        "<body><p id=\"s\">読み込み中</p><script>document.getElementById('s').textContent = "
        "'平常' + '運転';</script></body></html>\n"));
}

} // namespace

const QList<ScriptPage>& scriptPages()
{
    static const QList<ScriptPage> pages{
        {"feed", "feed.html",
         html(writer("fetch('feed.json').then(r => r.json()).then(f => show(f.state));")),
         Reading::Normal},
        {"slow feed", "slowfeed.html",
         html(writer("fetch('slow.json').then(r => r.json()).then(f => show(f.state));")),
         Reading::Normal},
        {"xhr", "xhr.html",
         html(writer("const x = new XMLHttpRequest(); x.open('GET', 'feed.json');"
                     "x.onload = () => show(JSON.parse(x.responseText).state); x.send();")),
         Reading::Normal},
        {"timer", "timer.html", html(writer("setTimeout(() => show('平常' + '運転'), 300);")),
         Reading::Normal},
        {"timer after the feed", "feedtimer.html",
         html(writer("fetch('feed.json').then(r => r.json())"
                     ".then(f => setTimeout(() => show(f.state), 1500));")),
         Reading::Normal},
        {"animation frame", "frame.html",
         html(writer("requestAnimationFrame(() => show('平常' + '運転'));")), Reading::Normal},
        {"document.write", "write.html",
         html("<script>document.write('<p>' + '平常' + '運転' + '</p>');</script>"),
         Reading::Normal},
        {"template", "template.html",
         html("<template id=\"t\"><p>平常運転</p></template><div id=\"d\"></div><script>"
              "document.getElementById('d').append(document.getElementById('t').content"
              ".cloneNode(true));</script>"),
         Reading::Normal},
        {"shadow root", "shadow.html",
         html("<div id=\"h\"></div><script>document.getElementById('h').attachShadow({mode: "
              "'open'}).innerHTML = '<style>p { color: green }</style><p>' + '平常' + '運転' + "
              "'</p>';</script>"),
         Reading::Normal},
        {"polling", "polling.html",
         html(writer("const poll = () => fetch('feed.json').then(r => r.json())"
                     ".then(f => show(f.state)); poll(); setInterval(poll, 200);")),
         Reading::Normal},
        {"Shift_JIS", "sjis.html", shiftJisPage(), Reading::Normal},
        {"never yields", "spin.html",
         html("<p>平常運転</p><script>setTimeout(() => { for (;;) {} }, 50);</script>"),
         Reading::Failed},
        {"hidden block", "hidden.html",
         html("<div style=\"display: none\"><p>平常運転</p></div><p>遅延が発生しています</p>"),
         Reading::Delayed},
        {"label table", "labels.html",
         html(writer("const labels = {0: '平常運転', 1: '遅延'}; show(labels[1]);")),
         Reading::Delayed},
        {"unused template", "unused.html",
         html("<template><p>平常運転</p></template><p>遅延が発生しています</p>"), Reading::Delayed},
        {"placeholder", "placeholder.html",
         html("<p id=\"p\">平常運転</p><script>document.getElementById('p').textContent = "
              "'遅延';</script>"),
         Reading::Delayed},
        {"last state replaced by a timer", "laststate.html",
         html(writer("show('平常運転'); setTimeout(() => show('遅延'), 1500);")), Reading::Delayed},
        {"noscript", "noscript.html",
         html("<noscript><p>平常運転</p></noscript>" + writer("show('遅延');")), Reading::Delayed},
    };
    return pages;
}

QString serveScriptPages(NginxSite& site)
{
    bool put = site.put(Folder + "feed.json", Feed) && site.put(Folder + "slow.json", SlowFeed);
    for (const ScriptPage& page : scriptPages())
        put = put && site.put(Folder + page.path, page.bytes);
    // On the HTTPS servers a redirect down to plain HTTP, which a reading must refuse.
    const QString down =
        QStringLiteral("location = /render/down.html { return 302 http://%1:%2/%3feed.html; }")
            .arg(site.host(), QString::number(site.plainPort()), QString::fromLatin1(Folder));
    if (!put || !site.start(QString::fromLatin1(SlowRate) + down))
        return {};
    return QStringLiteral("http://%1:%2/%3")
        .arg(site.host(), QString::number(site.plainPort()), QString::fromLatin1(Folder));
}

} // namespace senrokan::test
