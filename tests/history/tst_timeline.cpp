// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// What the 履歴 page draws from a route's checks: the stretches of a day and how far a finding
// reaches, the delayed checks by hour, the delay periods.
#include "history/Timeline.h"
#include "route/RouteState.h"

#include <QDateTime>
#include <QTest>

using namespace senrokan;

namespace
{

constexpr qint64 Min = 60;

// Checks at the given minutes, with the given statuses.
Samples checksAt(const QList<qint64>& minutes, const QList<int>& statuses)
{
    Samples checks;
    for (qsizetype i = 0; i < minutes.size(); ++i)
        checks.append({minutes[i] * Min, statuses[i]});
    return checks;
}

Span span(qint64 fromMinute, qint64 toMinute, Shade shade)
{
    return {fromMinute * Min, toMinute * Min, shade};
}

qint64 localTime(int hour, int minute)
{
    return QDateTime(QDate(2026, 1, 5), QTime(hour, minute)).toSecsSinceEpoch();
}

} // namespace

class TestTimeline : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dayStretches_data()
    {
        QTest::addColumn<Samples>("checks");
        QTest::addColumn<qint64>("toMinute");
        QTest::addColumn<QList<Span>>("expected");
        const Shade N = Shade::Normal, D = Shade::Delayed, U = Shade::Unreachable,
                    X = Shade::NotChecked;
        QList<qint64> everyTen;
        for (qint64 m = 0; m < 1440; m += 10)
            everyTen << m;
        QTest::newRow("no checks: not checked all day")
            << Samples() << qint64(1440) << QList<Span>{span(0, 1440, X)};
        QTest::newRow("a check every ten minutes fills the day")
            << checksAt(everyTen, QList<int>(everyTen.size(), StatusNormal)) << qint64(1440)
            << QList<Span>{span(0, 1440, N)};
        QTest::newRow("a gap beyond the reach of a finding is not checked")
            << checksAt({0, 10, 600, 610}, {0, 0, 1, 0}) << qint64(1440)
            << QList<Span>{span(0, 25, N), span(25, 600, X), span(600, 610, D), span(610, 625, N),
                           span(625, 1440, X)};
        QTest::newRow("a check of the evening before reaches into the day")
            << checksAt({-5, 300, 310}, {1, 0, 0}) << qint64(1440)
            << QList<Span>{span(0, 10, D), span(10, 300, X), span(300, 325, N), span(325, 1440, X)};
        QTest::newRow("outside hours is not checked, a failed connection apart")
            << checksAt({0, 10, 20}, {4, 2, 3}) << qint64(1440)
            << QList<Span>{span(0, 10, X), span(10, 20, U), span(20, 1440, X)};
        QTest::newRow("today ends now")
            << checksAt({580, 590}, {0, 1}) << qint64(600)
            << QList<Span>{span(0, 580, X), span(580, 590, N), span(590, 600, D)};
    }

    void dayStretches()
    {
        QFETCH(Samples, checks);
        QFETCH(qint64, toMinute);
        QTEST(spans(checks, 0, toMinute * Min, senrokan::findingReach(checks)), "expected");
    }

    void findingReach_data()
    {
        QTest::addColumn<Samples>("checks");
        QTest::addColumn<qint64>("minutes");
        QTest::newRow("no checks: ten minutes") << Samples() << qint64(10);
        QTest::newRow("every ten minutes: fifteen")
            << checksAt({0, 10, 20, 30}, {0, 0, 0, 0}) << qint64(15);
        QTest::newRow("a night away does not stretch the usual gap")
            << checksAt({0, 30, 60, 90, 570, 600}, {0, 0, 0, 0, 0, 0}) << qint64(45);
        QTest::newRow("checks a minute apart: still ten")
            << checksAt({0, 1, 2}, {0, 0, 0}) << qint64(10);
    }

    void findingReach()
    {
        QFETCH(Samples, checks);
        QFETCH(qint64, minutes);
        QCOMPARE(senrokan::findingReach(checks), minutes * Min);
    }

    void delayedByHour()
    {
        const Samples checks = {{localTime(7, 59) - 24 * 3600, StatusDelayed}, // before since
                                {localTime(8, 10), StatusDelayed},
                                {localTime(8, 50), StatusDelayed},
                                {localTime(9, 0), StatusNormal},
                                {localTime(17, 0), StatusDelayed},
                                {localTime(18, 0), StatusConnectFailed}};
        std::array<int, 24> expected{};
        expected[8] = 2;
        expected[17] = 1;
        QCOMPARE(senrokan::delayedByHour(checks, localTime(0, 0)), expected);
    }

    void delayPeriods_data()
    {
        QTest::addColumn<QList<int>>("statuses"); // one check a minute
        QTest::addColumn<QStringList>("reasons"); // of the first checks
        QTest::addColumn<QList<DelayPeriod>>("expected");
        QTest::newRow("no delay") << QList<int>{0, 0, 2, 4} << QStringList{}
                                  << QList<DelayPeriod>{};
        QTest::newRow("ended by a normal check, newest first, one going on")
            << QList<int>{0, 1, 1, 0, 1, 0, 1} << QStringList{}
            << QList<DelayPeriod>{{6 * Min, std::nullopt}, {4 * Min, 5 * Min}, {1 * Min, 3 * Min}};
        QTest::newRow("a failed connection ends a delay")
            << QList<int>{1, 2, 1} << QStringList{}
            << QList<DelayPeriod>{{2 * Min, std::nullopt}, {0, 1 * Min}};
        QTest::newRow("a period's reason is the last its checks found, its own only")
            << QList<int>{1, 1, 1, 0, 1} << QStringList{"信号故障", "人身事故"}
            << QList<DelayPeriod>{{4 * Min, std::nullopt}, {0, 3 * Min, "人身事故"}};
    }

    void delayPeriods()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(QStringList, reasons);
        QList<qint64> minutes;
        for (qsizetype i = 0; i < statuses.size(); ++i)
            minutes << i;
        Samples checks = checksAt(minutes, statuses);
        for (qsizetype i = 0; i < reasons.size(); ++i)
            checks[i].reason = reasons[i];
        QTEST(senrokan::delayPeriods(checks), "expected");
    }
};

QTEST_GUILESS_MAIN(TestTimeline)
#include "tst_timeline.moc"
