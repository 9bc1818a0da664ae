// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace senrokan
{

// What the 履歴 page draws, worked out from a route's checks; times are seconds since the epoch.

// The four ways a stretch of time is shown. A route outside its hours or without a server is
// not watched then, which reads as not checked.
enum class Shade { Normal, Delayed, Unreachable, NotChecked };

Shade shadeOf(int status);
// 平常, 遅延, 接続失敗, 未チェック: the shade in words, for those who do not tell the colours
// apart.
QString shadeWords(Shade shade);

struct Sample {
    qint64 time = 0;
    int status = 0;
    QString reason = {}; // of a delay, when the check found one
};
using Samples = QList<Sample>; // one route's checks, oldest first

struct Span {
    qint64 from = 0; // inclusive
    qint64 to = 0;   // exclusive
    Shade shade = Shade::NotChecked;
    bool operator==(const Span&) const = default;
};

// How long a finding stands without a later check: half as long again as the route's usual
// (median) gap between checks, and at least 10 minutes, so that a program that was not running
// shows as a gap while a missed check or two do not.
qint64 findingReach(const Samples& checks);

// [from, to) in spans: each check's shade from its time to the next check or its reach, not
// checked elsewhere; neighbours of one shade are one span.
QList<Span> spans(const Samples& checks, qint64 from, qint64 to, qint64 reach);

// The delayed checks from since on, by the local hour of the day they ran in.
std::array<int, 24> delayedByHour(const Samples& checks, qint64 since);

// A run of delayed checks: from the first to the next check that is not delayed, which ends it;
// no end while the last check is still delayed. Its reason is the last one its checks found.
struct DelayPeriod {
    qint64 start = 0;
    std::optional<qint64> end;
    QString reason = {};
    bool operator==(const DelayPeriod&) const = default;
};
// Newest first.
QList<DelayPeriod> delayPeriods(const Samples& checks);

} // namespace senrokan
