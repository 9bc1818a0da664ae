// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// A delay told only once read Confirm times in a row, its recovery at once: runs of checks on a
// real record of checks, restarts between them, and with Confirm=1 the rule every check had.
#include "report/Confirmation.h"
#include "support/HistoryFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace senrokan;

class TestConfirmation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void confirmedRuns_data()
    {
        QTest::addColumn<int>("confirm");
        QTest::addColumn<QString>("statuses"); // a check a digit; "|" a program start
        // '.' nothing, 'D' a delay told, 'd' shown delayed, told before, 'R' the recovery told
        QTest::addColumn<QString>("told");
        QTest::newRow("1: delay and recovery") << 1 << "01100"
                                               << ".DdR.";
        QTest::newRow("1: failures keep the run") << 1 << "1221"
                                                  << "D..d";
        QTest::newRow("2: one delay is not told, nor its end") << 2 << "0101"
                                                               << "....";
        QTest::newRow("2: failures, no server, outside hours") << 2 << "12341"
                                                               << "....D";
        QTest::newRow("3: failures interleaved") << 3 << "1214110"
                                                 << "....DdR";
        QTest::newRow("3: a normal verdict starts over") << 3 << "110111"
                                                         << ".....D";
        QTest::newRow("2: across restarts") << 2 << "1|1|0"
                                            << ".DR";
    }

    // Each check as the check path runs it: the earlier verdicts read, then its record written;
    // the clock going backwards and another route's records between must not count.
    void confirmedRuns()
    {
        QFETCH(int, confirm);
        QFETCH(QString, statuses);
        QFETCH(QString, told);
        QTemporaryDir dir;
        std::optional<CheckHistory> history(std::in_place, dir.path());
        QDateTime clock = QDateTime::currentDateTimeUtc();
        QString result;
        for (const QChar c : statuses) {
            if (c == u'|') {
                history.reset();
                history.emplace(dir.path());
                continue;
            }
            const std::optional<QList<int>> earlier = history->lastLineVerdicts(3, confirm);
            QVERIFY(earlier);
            const Confirmation now = confirmation(*earlier, c.digitValue(), confirm);
            QVERIFY(now.change != RouteChange::Delayed || now.confirmed);
            result += now.change == RouteChange::Delayed     ? u'D'
                      : now.change == RouteChange::Recovered ? u'R'
                      : now.confirmed                        ? u'd'
                                                             : u'.';
            clock = clock.addSecs(-60);
            QVERIFY(history->append(test::recordAt(clock, 3, c.digitValue())));
            QVERIFY(history->append(test::recordAt(clock, 4, 1 - c.digitValue() % 2)));
        }
        QCOMPARE(result, told);
    }

    // With Confirm=1 every run of normal, delayed and failed checks tells what routeChange did.
    void confirmOneIsTheFormerRule()
    {
        for (int run = 0; run < 81; ++run) {
            QList<int> earlier;
            for (int n = run, i = 0; i < 4; ++i, n /= 3) {
                const int previous = earlier.isEmpty() ? StatusNone : earlier.last();
                QCOMPARE(confirmation(earlier, n % 3, 1).change, routeChange(previous, n % 3));
                if (isLineState(n % 3))
                    earlier.append(n % 3);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestConfirmation)
#include "tst_confirmation.moc"
