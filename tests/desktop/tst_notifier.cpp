// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Desktop notifications of a delay against a notification service on a private session bus:
// what each Notify carries, replacing and withdrawing, reports asked for while the service has
// not answered, titles that look like markup, the notification's action, the program's end, and
// a desktop without the service.
#include "platform/FreedesktopNotifier.h"
#include "support/BusConnection.h"
#include "support/NotificationServer.h"
#include "support/SessionBus.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace senrokan::platform;
using namespace senrokan::test;

namespace
{

constexpr int ReplyLimitMs = 10000; // a hang guard; replies come in milliseconds

// The Notify calls the service got, each as the id it replaces and the body.
QStringList notified(const NotificationServer& server)
{
    QStringList calls;
    for (const NotificationServer::Notice& notice : server.notices)
        calls << QString::number(notice.replacesId) + " " + notice.body;
    return calls;
}

} // namespace

class TestNotifier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Steps: "show" titles (split at "|"), "answered" (waits for the service's id), "withdraw",
    // "end", "action" name on our notification or on "another" one, "service" (the service
    // comes only now; without it the service is there from the start).
    void steps_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("notices"); // the id it replaces, the body
        QTest::addColumn<QList<uint>>("closed");
        QTest::addColumn<int>("windowRequests");
        const QStringList plain{"actions", "body"};
        QTest::newRow("a clean check withdraws the notification, once")
            << plain << QStringList{"show 山手線|京浜東北線", "answered", "withdraw", "withdraw"}
            << QStringList{"0 山手線\n京浜東北線"} << QList<uint>{1} << 0;
        QTest::newRow("reports while awaiting the service: only the latest, replacing")
            << plain
            << QStringList{"show 路線1", "show 路線2", "show 路線3", "answered", "show 路線4",
                           "withdraw"}
            << QStringList{"0 路線3", "1 路線4"} << QList<uint>{1} << 0;
        QTest::newRow("a service that reads markup gets titles escaped")
            << QStringList{"body", "body-markup"} << QStringList{"show <b>A&B線</b>"}
            << QStringList{"0 &lt;b&gt;A&amp;B線&lt;/b&gt;"} << QList<uint>{} << 0;
        QTest::newRow("a plain-text service gets titles as typed")
            << QStringList{"body"} << QStringList{"show <b>A&B線</b>"}
            << QStringList{"0 <b>A&B線</b>"} << QList<uint>{} << 0;
        QTest::newRow("default on our notification shows the window; the next is new")
            << plain << QStringList{"show 山手線", "answered", "action default", "show 山手線"}
            << QStringList{"0 山手線", "0 山手線"} << QList<uint>{} << 1;
        QTest::newRow("default on another program's notification")
            << plain
            << QStringList{"show 山手線", "answered", "action default another", "show 山手線"}
            << QStringList{"0 山手線", "1 山手線"} << QList<uint>{} << 0;
        QTest::newRow("an action we never offered")
            << plain << QStringList{"show 山手線", "answered", "action dismiss"}
            << QStringList{"0 山手線"} << QList<uint>{} << 0;
        QTest::newRow("the program's end withdraws, and nothing is shown after")
            << plain << QStringList{"show 山手線", "answered", "end", "show 京浜東北線"}
            << QStringList{"0 山手線"} << QList<uint>{1} << 0;
        QTest::newRow("no service: nothing, and one that comes later is used")
            << plain
            << QStringList{"show 山手線", "withdraw", "show 山手線", "service", "show 京浜東北線"}
            << QStringList{"0 京浜東北線"} << QList<uint>{} << 0;
    }

    void steps()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, notices);
        QFETCH(QList<uint>, closed);
        // Nothing is printed, also without a service.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        SessionBus bus;
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        NotificationServer server(capabilities);
        if (!steps.contains("service"))
            QVERIFY(server.start(bus.address()));
        BusConnection program; // the program's own connection
        FreedesktopNotifier notifier(program.open(bus.address()));
        QSignalSpy requested(&notifier, &DesktopNotifier::windowRequested);

        for (const QString& step : steps) {
            const QStringList words = step.split(' ');
            if (words[0] == "show") {
                notifier.showDelay(words[1].split('|'));
            } else if (words[0] == "answered") {
                QTRY_VERIFY_WITH_TIMEOUT(notifier.notificationId() != 0, ReplyLimitMs);
            } else if (words[0] == "withdraw") {
                notifier.withdraw();
            } else if (words[0] == "end") {
                notifier.end();
            } else if (words[0] == "action") {
                const bool ours = words.size() == 2;
                const uint id = notifier.notificationId();
                server.invokeAction(ours ? id : id + 100, words[1]);
                // Ours is forgotten once gone; another program's going changes nothing.
                QCOMPARE(QTest::qWaitFor([&] { return notifier.notificationId() == 0; },
                                         ours ? ReplyLimitMs : 1000),
                         ours);
            } else if (words[0] == "service") {
                QTest::qWait(500);
                QVERIFY(server.start(bus.address()));
            }
        }

        QTRY_COMPARE_WITH_TIMEOUT(notified(server), notices, ReplyLimitMs);
        QTRY_COMPARE_WITH_TIMEOUT(server.closed, closed, ReplyLimitMs);
        // Nothing more comes.
        QTest::qWait(200);
        QCOMPARE(notified(server), notices);
        QCOMPARE(server.closed, closed);
        QTEST(int(requested.size()), "windowRequests");
        QCOMPARE(server.capabilityCalls, 1);
        for (const NotificationServer::Notice& n : server.notices) {
            QCOMPARE((QStringList{n.appName, n.icon, n.summary, n.actions.join('|'),
                                  n.hints.value("desktop-entry").toString(),
                                  QString::number(n.timeout)}),
                     (QStringList{"Senrokan", "senrokan-delay", "運行情報", "default|設定",
                                  "senrokan", "180000"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
