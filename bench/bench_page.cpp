// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Conversion and folded search of a 1 MiB status page, the work a check does once the page is
// in, and the choice of coding on a 2 MB reply: MB/s counts page bytes.
#include "check/StatusDecision.h"
#include "codec/Converter.h"
#include "codec/Kconv.h"
#include "codec/PageCoding.h"

#include <benchmark/benchmark.h>

using namespace senrokan;

namespace
{

// Status-page HTML: markup and Japanese text, about half of each, with no match word.
QString pageText()
{
    const QString unit = QStringLiteral(
        "<tr class=\"line\"><td><a href=\"/line/yamanote.html\">山手線</a></td>"
        "<td class=\"status\">列車の遅れ　ダイヤが乱れています ｶﾀｶﾅ ABC 12:34</td></tr>\r\n");
    QString text = QStringLiteral("<html><head><meta http-equiv=\"Content-Type\" "
                                  "content=\"text/html; charset=%1\"></head><body><table>\r\n");
    while (text.size() < 700 * 1024)
        text += unit;
    return text + QStringLiteral("</table></body></html>\r\n");
}

QByteArray pageBytes(const char* coding, const char* declaration)
{
    QByteArray bytes = Converter(coding).encode(pageText().arg(QLatin1String(declaration)));
    return bytes.left(1024 * 1024);
}

RouteDefinition route(const QString& start)
{
    RouteDefinition def;
    def[MatchWord] = QStringLiteral("平常運転");
    def[SubtitleStart] = start;
    return def;
}

void convertAndSearch(benchmark::State& state, const char* coding, int mode)
{
    const QByteArray bytes = pageBytes(coding, "x");
    const RouteDefinition def = route({});
    for (auto _ : state) {
        const QString text =
            mode == 0 ? Kconv(bytes, 3, 0) : ConvertPageText(Kconv(bytes, 3, mode));
        benchmark::DoNotOptimize(decideStatus(def, text, QTime(12, 0)));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ShiftJis(benchmark::State& state)
{
    convertAndSearch(state, coding::Cp932, 0);
}
void BM_EucJp(benchmark::State& state)
{
    convertAndSearch(state, coding::EucJp, 2);
}
void BM_Utf8(benchmark::State& state)
{
    convertAndSearch(state, coding::Utf8, 5);
}

void BM_SearchOnly(benchmark::State& state)
{
    const QByteArray bytes = pageBytes(coding::Cp932, "x");
    const QString text = Kconv(bytes, 3, 0);
    const RouteDefinition def = route(QStringLiteral("<table>"));
    for (auto _ : state)
        benchmark::DoNotOptimize(decideStatus(def, text, QTime(12, 0)));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_DecodeOnly(benchmark::State& state)
{
    const QByteArray bytes = pageBytes(coding::Cp932, "x");
    for (auto _ : state)
        benchmark::DoNotOptimize(Kconv(bytes, 3, 0));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// A socket reply of 2 MB: header lines, then the page. With the declaration at the top the
// prescan stops there; without one it runs over the whole reply and the detector is asked.
void decide(benchmark::State& state, const char* coding, const char* declaration)
{
    QByteArray page = pageBytes(coding, declaration);
    page.truncate(page.lastIndexOf('\n') + 1); // whole characters only, where copies meet
    QByteArray reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    while (reply.size() < 2000 * 1000)
        reply += page;
    reply.truncate(2000 * 1000);
    state.SetLabel(describeCoding(decideReplyCoding(reply)).toStdString());
    for (auto _ : state)
        benchmark::DoNotOptimize(decideReplyCoding(reply));
    state.SetBytesProcessed(state.iterations() * reply.size());
}

void BM_DecideDeclared(benchmark::State& state)
{
    decide(state, coding::Cp932, "shift_jis");
}
void BM_DecideUndeclaredShiftJis(benchmark::State& state)
{
    decide(state, coding::Cp932, "");
}
void BM_DecideUndeclaredUtf8(benchmark::State& state)
{
    decide(state, coding::Utf8, "");
}

} // namespace

BENCHMARK(BM_ShiftJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EucJp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecideDeclared)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecideUndeclaredShiftJis)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecideUndeclaredUtf8)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
