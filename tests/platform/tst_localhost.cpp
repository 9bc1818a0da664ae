// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The address shown on the settings page, chosen from the machine's addresses.
#include "platform/LocalHost.h"

#include <QTest>

using namespace senrokan;

class TestLocalHost : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void displayedIpAddress_data()
    {
        QTest::addColumn<QList<QHostAddress>>("addresses");
        QTest::addColumn<QString>("shown");

        const QHostAddress loop4(QHostAddress::LocalHost);
        const QHostAddress loop6(QHostAddress::LocalHostIPv6);
        const QHostAddress lan("192.168.10.5");
        const QHostAddress second("10.1.2.3");
        const QHostAddress global6("2001:db8::5");

        QTest::newRow("loopback listed first") << QList{loop4, loop6, lan} << "192.168.10.5";
        QTest::newRow("first of two networks") << QList{lan, second} << "192.168.10.5";
        QTest::newRow("IPv6 before IPv4") << QList{global6, second} << "10.1.2.3";
        QTest::newRow("only IPv6") << QList{loop6, global6} << "127.0.0.1";
        QTest::newRow("only loopback") << QList{loop4} << "127.0.0.1";
        QTest::newRow("no address at all") << QList<QHostAddress>{} << "127.0.0.1";
        QTest::newRow("other loopback address")
            << QList{QHostAddress("127.0.1.1"), second} << "10.1.2.3";
    }

    void displayedIpAddress()
    {
        QFETCH(QList<QHostAddress>, addresses);
        QTEST(platform::displayedIpAddress(addresses), "shown");
    }

    void thisMachine()
    {
        QVERIFY(!platform::localHostName().isEmpty());
        const QHostAddress shown(platform::localIpAddress());
        QCOMPARE(shown.protocol(), QAbstractSocket::IPv4Protocol);
        QVERIFY(shown == QHostAddress(QHostAddress::LocalHost) || !shown.isLoopback());
    }
};

QTEST_GUILESS_MAIN(TestLocalHost)
#include "tst_localhost.moc"
