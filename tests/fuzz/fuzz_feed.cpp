// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// An official feed's verdict on whatever a server sends: line id, match word and body cut from
// one input at NUL bytes.
#include "FuzzInput.h"

#include "feed/OfficialFeed.h"
#include "route/Reason.h"

using namespace senrokan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> p = fuzz::parts(fuzz::bytesOf(data, size), 3);
    const Verdict verdict = decideFeed(p[2], QString::fromUtf8(p[0]), QString::fromUtf8(p[1]),
                                       QDateTime::fromSecsSinceEpoch(1796684400), QUrl());
    switch (verdict.status) {
    case StatusNormal:
        fuzz::require(verdict.reason.isEmpty());
        break;
    case StatusDelayed:
        fuzz::require(verdict.reason.size() <= MaxReasonLength);
        break;
    case StatusConnectFailed:
        fuzz::require(verdict.reason.isEmpty() && !verdict.failure.isEmpty());
        break;
    default:
        fuzz::require(false);
    }
    return 0;
}
