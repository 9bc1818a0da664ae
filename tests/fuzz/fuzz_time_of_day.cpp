// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The time-of-day reader and the valid-hours window: two times cut from one input at a NUL byte.
#include "FuzzInput.h"

#include "base/Failure.h"
#include "calendar/TimeWindow.h"

using namespace senrokan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> p = fuzz::parts(fuzz::bytesOf(data, size), 2);
    const QString from = QString::fromUtf8(p[0]);
    const QString to = QString::fromUtf8(p[1]);
    try {
        const QTime time = parseTimeOfDay(from);
        fuzz::require(time.isValid());
        // A window of one time holds that minute.
        fuzz::require(InTimeWindow(from, from, time) == 1);
        const int inside = InTimeWindow(from, to, QTime(time.hour(), time.minute()));
        fuzz::require(inside == 1 || inside == -1);
    } catch (const senrokan::Failure& failure) {
        fuzz::require(failure.kind() == FailureKind::BadTimeOfDay);
    }
    return 0;
}
