// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The status summary: one entry a route, with its verdict and check time, and why a delay; and
// the same in short in the icon's tip.
#include "cycle/DelayReport.h"
#include "cycle/StatusSummary.h"

#include <QTest>

using namespace senrokan;

class TestStatusSummary : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void afterStartUp()
    {
        RouteStates states;
        const QString line = QStringLiteral("　不明です。   \r\n\r\n");
        QCOMPARE(statusSummaryText(states), line.repeated(5));
    }

    void entries_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("checkTime");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("entry");
        auto row = [](const char* name, const char* title, int status, const char* checkTime,
                      const char* entry, const char* reason = "") {
            QTest::newRow(name) << QString::fromUtf8(title) << status
                                << QString::fromUtf8(checkTime) << QString::fromUtf8(reason)
                                << QString::fromUtf8(entry);
        };
        row("normal, two-digit date parts", "山手線", 0, "2026-03-05T14:07:09",
            "山手線　平常運転です。   2026年03月05日 14時07分09秒");
        row("delayed, morning hour padded", "中央線", 1, "2026-12-07T09:05:03",
            "中央線　遅れがあります。   2026年12月07日 09時05分03秒");
        row("connect failed", "A", 2, "2026-12-07T23:59:59",
            "A　接続失敗しました。   2026年12月07日 23時59分59秒");
        row("no server, no time", "B", 3, "", "B　サーバが未設定です。   ");
        row("out of hours", "", 4, "2026-01-02T00:00:00",
            "　時間外です。   2026年01月02日 00時00分00秒");
        row("unknown value", "C", 9, "", "C　不明です。   ");
        row("delayed with a reason: a second line", "中央線", 1, "2026-12-07T09:05:03",
            "中央線　遅れがあります。   2026年12月07日 09時05分03秒\r\n　人身事故の影響で",
            "人身事故の影響で");
        row("a reason of two lines: on one line", "中央線", 1, "2026-12-07T09:05:03",
            "中央線　遅れがあります。   2026年12月07日 09時05分03秒\r\n　運転見合わせ / "
            "人身事故の影響で",
            "運転見合わせ\n人身事故の影響で");
        row("normal: a reason left over is not told", "中央線", 0, "2026-12-07T09:05:03",
            "中央線　平常運転です。   2026年12月07日 09時05分03秒", "人身事故の影響で");
    }

    void entries()
    {
        QFETCH(QString, title);
        QFETCH(int, status);
        QFETCH(QString, checkTime);
        QFETCH(QString, reason);
        QFETCH(QString, entry);
        RouteStates states;
        states[3] = {title, checkTime, status, reason};
        const QStringList parts = statusSummaryText(states).split(QStringLiteral("\r\n\r\n"));
        QCOMPARE(parts.size(), 6);
        QCOMPARE(parts.at(2), entry);
        QCOMPARE(parts.at(5), QString());
    }

    void trayTip_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason"); // for a normal line, its notices
        QTest::addColumn<QString>("tip");
        QTest::addColumn<bool>("quiet"); // 今日は知らせない
        QTest::newRow("normal: word and time") << "山手線" << 0 << ""
                                               << "山手線: 平常運転 09:05" << false;
        QTest::newRow("delayed: the state its reason gives, once, then its first words")
            << "中央線" << 1
            << "運転見合わせ：\n13時05分頃、品川駅で発生した人身事故の影響で、上下線で"
            << "中央線: 運転見合わせ 09:05 13時05分頃、品川駅で発生した人身事故の影響で…" << false;
        QTest::newRow("delayed: its word not said twice")
            << "京浜東北線" << 1 << "遅延：架線点検の影響"
            << "京浜東北線: 遅延 09:05 架線点検の影響" << false;
        QTest::newRow("not checked yet") << "京葉線" << -1 << ""
                                         << "京葉線: 不明" << false;
        QTest::newRow("no server: not watched") << "総武線" << 3 << ""
                                                << "" << false;
        QTest::newRow("no title: not watched") << "" << 2 << ""
                                               << "" << false;
        QTest::newRow("normal with a notice: its first words")
            << "大江戸線" << 0 << "お知らせ：都庁前駅のエレベーターが点検のため使えません"
            << "大江戸線: 平常運転 09:05 お知らせ：都庁前駅のエレベーターが点検のため使え…"
            << false;
        QTest::newRow("delayed: the most minutes stated")
            << "東西線" << 1 << "車両点検の影響で、10～３０分程度の遅れ"
            << "東西線: 遅延 最大30分 09:05 車両点検の影響で、10～３０分程度の遅れ" << false;
        QTest::newRow("kept quiet for today") << "南北線" << 1 << ""
                                              << "南北線: 遅延 今日は知らせない 09:05" << true;
    }

    void trayTip()
    {
        QFETCH(QString, title);
        QFETCH(int, status);
        QFETCH(QString, reason);
        RouteStates states;
        QFETCH(bool, quiet);
        states[3] = {title, status == -1 ? "" : "2026-12-07T09:05:03", status, reason};
        if (status == StatusNormal)
            std::swap(states[3].Reason, states[3].Notice);
        RoundTelling telling;
        telling[3].quiet = quiet;
        QTEST(trayToolTip(states, telling), "tip");
    }
};

QTEST_GUILESS_MAIN(TestStatusSummary)
#include "tst_statussummary.moc"
