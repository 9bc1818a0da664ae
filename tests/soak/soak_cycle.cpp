// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// A short soak of the timed cycle with real timers: memory and descriptors stay flat over
// hundreds of cycles of normal, late, failing, oversized and byte-fetched pages.
#include "support/Sanitized.h"
#include "support/SoakRun.h"

#include <QTest>

using namespace senrokan::test;

class SoakCycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void staysFlat()
    {
        const SoakFigures f = SoakRun(200).run();
        qInfo("%d cycles; resident KiB first %lld, warm %lld, last %lld, peak %lld; "
              "descriptors first %d, warm %d, last %d; statuses 0:%d 1:%d 2:%d",
              f.cycles, f.first.residentKiB, f.warm.residentKiB, f.last.residentKiB,
              f.peakResidentKiB, f.first.descriptors, f.warm.descriptors, f.last.descriptors,
              f.statuses[0], f.statuses[1], f.statuses[2]);
        QCOMPARE(f.cycles, 200);
        // Every kind of outcome came up, so the mix really ran.
        QVERIFY(f.statuses[0] > 0 && f.statuses[1] > 0 && f.statuses[2] > 0);
        // Generous bounds: a leak of a reply, a socket or a page per cycle breaks them, and so
        // does a heap left fragmented by the large replies (it grew 8-10 MiB here before).
        QVERIFY(f.last.descriptors <= f.warm.descriptors + 2);
        SKIP_MEMORY_BOUNDS_WHEN_SANITIZED();
        QVERIFY2(
            f.last.residentKiB - f.warm.residentKiB < 3 * 1024,
            qPrintable(
                QStringLiteral("grew by %1 KiB").arg(f.last.residentKiB - f.warm.residentKiB)));
        QVERIFY(f.peakResidentKiB < 256 * 1024);
    }
};

QTEST_GUILESS_MAIN(SoakCycle)
#include "soak_cycle.moc"
