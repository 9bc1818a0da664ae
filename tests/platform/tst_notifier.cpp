// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Desktop notifications of a delay against a notification service on a private session bus:
// what each Notify carries, replacing and withdrawing, reports asked for while the service has
// not answered, titles that look like markup, the notification's action, the program's end, a
// desktop without the service, and a service that answers late, with an error or with a string.
#include "platform/FreedesktopNotifier.h"
#include "support/BusConnection.h"
#include "support/NotificationServer.h"
#include "support/SessionBus.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace senrokan::platform;
using namespace senrokan::test;

namespace
{

constexpr int ReplyLimitMs = 10000; // a hang guard; replies come in milliseconds
// The notifier's answer limit here, in place of five seconds.
constexpr int AnswerLimitMs = 1000;
// The end takes half a second at most; this leaves room for a loaded machine.
constexpr int EndBoundMs = 2500;

// The Notify calls the service got, each as the id it replaces and the body.
QStringList notified(const NotificationServer& server)
{
    QStringList calls;
    for (const NotificationServer::Notice& notice : server.notices)
        calls << QString::number(notice.replacesId) + " " + notice.body;
    return calls;
}

// The ids in CloseNotification calls, in order of id: closes sent from different replies may
// cross.
QList<uint> closedIds(const NotificationServer& server)
{
    QList<uint> ids = server.closed;
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

class TestNotifier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Steps: "show" titles (split at "|"), "answered" (waits for the service's id), "withdraw",
    // "end", "action" name on our notification or on "another" one, "service" (the service
    // comes only now; without it the service is there from the start), "answer" late, error
    // or string (how the service answers the next Notify), "wait" (past the answer limit),
    // "late answer" (the service sends the answer it held back), "received" n (waits until the
    // service has had n Notify calls).
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
            << plain << QStringList{"show 路線1", "show 路線2", "show 路線3",
                                    "answered",   "show 路線4", "withdraw"}
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
        QTest::newRow("a late id is kept, and the clean check closes it")
            << plain << QStringList{"answer late", "show 山手線", "wait",
                                    "late answer", "answered",    "withdraw"}
            << QStringList{"0 山手線"} << QList<uint>{1} << 0;
        QTest::newRow("a late id after the clean check is closed when it comes")
            << plain << QStringList{"answer late", "show 山手線", "wait", "withdraw", "late answer"}
            << QStringList{"0 山手線"} << QList<uint>{1} << 0;
        QTest::newRow("a late id of a replaced notification is closed; the next is alone")
            << plain << QStringList{"answer late",     "show 山手線", "wait",
                                    "show 京浜東北線", "late answer", "withdraw"}
            << QStringList{"0 山手線", "0 京浜東北線"} << QList<uint>{1, 2} << 0;
        QTest::newRow("an error keeps the id: the next delay replaces, the clean check closes")
            << plain
            << QStringList{"show 山手線", "answered",      "answer error", "show 京浜東北線",
                           "received 2",  "show 東海道線", "received 3",   "withdraw"}
            << QStringList{"0 山手線", "1 京浜東北線", "1 東海道線"} << QList<uint>{1} << 0;
        QTest::newRow("a string is no id: the clean check closes the last one")
            << plain
            << QStringList{"show 山手線", "answered", "answer string", "show 京浜東北線",
                           "withdraw"}
            << QStringList{"0 山手線", "1 京浜東北線"} << QList<uint>{1} << 0;
        QTest::newRow("a service that never answers: the end closes the last id, briefly")
            << plain
            << QStringList{"show 山手線", "answered", "answer late", "show 京浜東北線", "end"}
            << QStringList{"0 山手線", "1 京浜東北線"} << QList<uint>{1} << 0;
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
        FreedesktopNotifier notifier(program.open(bus.address()), AnswerLimitMs);
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
                QElapsedTimer ending;
                ending.start();
                notifier.end();
                QCOMPARE_LT(ending.elapsed(), EndBoundMs);
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
            } else if (step == "late answer") {
                server.sendLateAnswer();
            } else if (words[0] == "answer") {
                const QHash<QString, NotificationServer::Answer> answers{
                    {"late", NotificationServer::Answer::Late},
                    {"error", NotificationServer::Answer::Error},
                    {"string", NotificationServer::Answer::String}};
                server.answers << answers.value(words[1]);
            } else if (words[0] == "wait") {
                QTest::qWait(2 * AnswerLimitMs);
            } else if (words[0] == "received") {
                QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), words[1].toInt(), ReplyLimitMs);
            }
        }

        QTRY_COMPARE_WITH_TIMEOUT(notified(server), notices, ReplyLimitMs);
        QTRY_COMPARE_WITH_TIMEOUT(closedIds(server), closed, ReplyLimitMs);
        // Nothing more comes.
        QTest::qWait(200);
        QCOMPARE(notified(server), notices);
        QCOMPARE(closedIds(server), closed);
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
