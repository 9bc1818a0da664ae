// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// An official feed's verdict on one line, decoding included, at the sizes of a big agency's
// feeds: a GTFS-Realtime feed of 20 000 service alerts and an ODPT array of 2 000 records.
#include "feed/OfficialFeed.h"
#include "support/AlertsFeed.h"

#include <benchmark/benchmark.h>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

constexpr qint64 Now = 1796684400;
constexpr int Lines = 200;

// Records for 200 lines, ten each (directions and sections), a few with a status.
QByteArray bigOdptArray()
{
    QByteArrayList records;
    for (int i = 0; i < 2000; ++i) {
        QByteArray record =
            R"({"@context":"http://vocab.odpt.org/context_odpt.jsonld","@type":)"
            R"("odpt:TrainInformation","dc:date":"2026-12-08T08:00:00+09:00",)"
            R"("odpt:operator":"odpt.Operator:Toei","odpt:railway":"odpt.Railway:Line)" +
            QByteArray::number(i % Lines) + R"(","odpt:timeOfOrigin":"2026-12-08T07:45:00+09:00",)";
        if (i % 7 == 0)
            record += R"("odpt:trainInformationStatus":{"ja":"遅延","en":"Delay"},)";
        record += R"("odpt:trainInformationText":{"ja":"人身事故の影響で、一部列車に遅れが出て)"
                  R"(います。","en":"Some trains are delayed due to an accident."}})";
        records << record;
    }
    return '[' + records.join(',') + ']';
}

void decide(benchmark::State& state, const QByteArray& body, const QString& line)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(Now);
    const QString word = QStringLiteral("平常");
    const Verdict verdict = decideFeed(body, line, word, now, QUrl());
    state.SetLabel(
        QStringLiteral("%1 bytes, status %2").arg(body.size()).arg(verdict.status).toStdString());
    for (auto _ : state)
        benchmark::DoNotOptimize(decideFeed(body, line, word, now, QUrl()));
    state.SetBytesProcessed(state.iterations() * body.size());
}

void BM_GtfsRealtimeAlerts(benchmark::State& state)
{
    decide(state, agencyAlertsFeed(Now), QStringLiteral("route-0"));
}

void BM_OdptRecords(benchmark::State& state)
{
    decide(state, bigOdptArray(), QStringLiteral("odpt.Railway:Line0"));
}

} // namespace

BENCHMARK(BM_GtfsRealtimeAlerts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OdptRecords)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
