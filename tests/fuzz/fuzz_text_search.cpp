// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The folded search with section markers, as the verdict uses it: page, match word, section
// start and section end cut from one input at NUL bytes.
#include "FuzzInput.h"

#include "check/StatusDecision.h"
#include "codec/TextSearch.h"
#include "route/Reason.h"

using namespace senrokan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> p = fuzz::parts(fuzz::bytesOf(data, size), 4);
    const QString page = QString::fromUtf8(p[0]);
    RouteDefinition route;
    route[MatchWord] = QString::fromUtf8(p[1]);
    route[SubtitleStart] = QString::fromUtf8(p[2]);
    route[SubtitleEnd] = QString::fromUtf8(p[3]);
    // A section start missing from the page fails the check, never the program.
    const Verdict verdict = decideStatus(route, page, QTime(12, 0));
    fuzz::require(verdict.status == StatusNormal || verdict.status == StatusDelayed ||
                  verdict.status == StatusConnectFailed);
    fuzz::require(verdict.reason.size() <= MaxReasonLength);
    const TextSearch search(page);
    for (const qsizetype start : {qsizetype(1), page.size() / 2 + 1, page.size()}) {
        if (start < 1)
            continue;
        const qsizetype at = search.find(route[MatchWord], start);
        fuzz::require(at == 0 || (at >= start && at <= page.size() + 1));
    }
    // The page is always found in itself, at its start.
    if (!page.isEmpty())
        fuzz::require(search.find(page, 1) == 1);
    return 0;
}
