// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The long soak: 2 000 timed cycles (or the number given) against loopback pages with short
// timings; prints resident memory and open descriptors at the first, a settled and the last
// cycle.
#include "support/SoakRun.h"

#include <QCoreApplication>

#include <cstdio>

using namespace senrokan::test;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    if (cycles < 10) {
        std::fputs("usage: soak [CYCLES (at least 10, default 2000)]\n", stderr);
        return 64;
    }
    const SoakFigures f = SoakRun(cycles).run();
    std::printf("cycles            %d\n", f.cycles);
    std::printf("statuses          normal %d, delayed %d, failed %d\n", f.statuses[0],
                f.statuses[1], f.statuses[2]);
    for (const SoakSample& s : {f.first, f.warm, f.last})
        std::printf("after cycle %-5d resident %lld KiB, %d descriptors\n", s.cycle, s.residentKiB,
                    s.descriptors);
    std::printf("peak resident     %lld KiB\n", f.peakResidentKiB);
    return 0;
}
