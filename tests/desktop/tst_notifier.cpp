// Desktop notifications of a delay against a notification service on a private session bus:
// what one Notify carries, replacing and withdrawing, titles that look like markup, the
// notification's action, and a desktop without the service.
#include "platform/FreedesktopNotifier.h"
#include "support/BusConnection.h"
#include "support/NotificationServer.h"
#include "support/SessionBus.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace senrokan::platform;
using namespace senrokan::test;

namespace
{

constexpr int ReplyLimitMs = 10000; // a hang guard; replies come in milliseconds

} // namespace

class TestNotifier : public QObject
{
    Q_OBJECT

    std::unique_ptr<SessionBus> m_bus;
    std::unique_ptr<BusConnection> m_program; // the program's own connection

    QDBusConnection connect() { return m_program->open(m_bus->address()); }

private Q_SLOTS:
    void init()
    {
        m_bus = std::make_unique<SessionBus>();
        QVERIFY2(m_bus->start(), qPrintable(m_bus->error()));
        m_program = std::make_unique<BusConnection>();
    }

    void cleanup()
    {
        m_program.reset();
        m_bus.reset();
    }

    void showReplaceWithdraw()
    {
        NotificationServer server;
        QVERIFY(server.start(m_bus->address()));
        FreedesktopNotifier notifier(connect());

        notifier.showDelay({"山手線", "京浜東北線"});
        QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 1, ReplyLimitMs);
        const NotificationServer::Notice first = server.notices.first();
        QCOMPARE(first.appName, QStringLiteral("Senrokan"));
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(first.icon, QStringLiteral("senrokan-delay"));
        QCOMPARE(first.summary, QStringLiteral("運行情報"));
        QCOMPARE(first.body, QStringLiteral("山手線\n京浜東北線"));
        QCOMPARE(first.actions, (QStringList{"default", "設定"}));
        QCOMPARE(first.hints.value("desktop-entry").toString(), QStringLiteral("senrokan"));
        QCOMPARE(first.timeout, 180000);
        QTRY_COMPARE(notifier.notificationId(), first.id);

        // The next delay takes the place of the first.
        notifier.showDelay({"山手線"});
        QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 2, ReplyLimitMs);
        QCOMPARE(server.notices.at(1).replacesId, first.id);
        QCOMPARE(server.notices.at(1).body, QStringLiteral("山手線"));

        // A check without delay takes it away, once.
        notifier.withdraw();
        QTRY_COMPARE_WITH_TIMEOUT(server.closed, QList<uint>{first.id}, ReplyLimitMs);
        notifier.withdraw();
        QTest::qWait(200);
        QCOMPARE(server.closed.size(), 1);
        QCOMPARE(server.capabilityCalls, 1);
    }

    // Reports asked for while the service has not answered yet: only the latest is sent, and
    // it replaces rather than adds.
    void reportsWhileAwaitingTheService()
    {
        NotificationServer server;
        QVERIFY(server.start(m_bus->address()));
        FreedesktopNotifier notifier(connect());

        notifier.showDelay({"路線1"});
        notifier.showDelay({"路線2"});
        notifier.showDelay({"路線3"});
        QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 1, ReplyLimitMs);
        QCOMPARE(server.notices.first().body, QStringLiteral("路線3"));
        QTRY_VERIFY_WITH_TIMEOUT(notifier.notificationId() != 0, ReplyLimitMs);
        // Withdrawn while the next one is on its way: that one goes too.
        notifier.showDelay({"路線4"});
        notifier.withdraw();
        QTRY_COMPARE_WITH_TIMEOUT(server.closed, QList<uint>{server.notices.first().id},
                                  ReplyLimitMs);
        QCOMPARE(server.notices.size(), 2);
        QCOMPARE(server.notices.last().replacesId, server.notices.first().id);
    }

    void markup_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        const QString title = QStringLiteral("<b>A&B線</b>");
        QTest::newRow("a service that reads markup gets it escaped")
            << QStringList{"body", "body-markup"}
            << QStringLiteral("&lt;b&gt;A&amp;B線&lt;/b&gt;");
        QTest::newRow("a plain-text service gets it as typed") << QStringList{"body"} << title;
    }

    void markup()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, body);
        NotificationServer server(capabilities);
        QVERIFY(server.start(m_bus->address()));
        FreedesktopNotifier notifier(connect());

        notifier.showDelay({QStringLiteral("<b>A&B線</b>")});

        QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 1, ReplyLimitMs);
        QCOMPARE(server.notices.first().body, body);
    }

    void action_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("ours");
        QTest::addColumn<int>("windowRequests");
        QTest::newRow("default on our notification") << "default" << true << 1;
        QTest::newRow("default on another program's") << "default" << false << 0;
        QTest::newRow("an action we never offered") << "dismiss" << true << 0;
    }

    void action()
    {
        QFETCH(QString, action);
        QFETCH(bool, ours);
        QFETCH(int, windowRequests);
        NotificationServer server;
        QVERIFY(server.start(m_bus->address()));
        FreedesktopNotifier notifier(connect());
        QSignalSpy requested(&notifier, &DesktopNotifier::windowRequested);
        notifier.showDelay({"山手線"});
        QTRY_VERIFY_WITH_TIMEOUT(notifier.notificationId() != 0, ReplyLimitMs);
        const uint id = notifier.notificationId();

        server.invokeAction(ours ? id : id + 100, action);
        QTest::qWait(200);

        QCOMPARE(requested.size(), windowRequests);
        // Gone after the action: the next delay is a new notification.
        if (ours) {
            QTRY_COMPARE(notifier.notificationId(), 0u);
            notifier.showDelay({"山手線"});
            QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 2, ReplyLimitMs);
            QCOMPARE(server.notices.last().replacesId, 0u);
        }
    }

    // No service on the bus: nothing is shown, nothing printed; one that comes later is used.
    void noService()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        FreedesktopNotifier notifier(connect());
        notifier.showDelay({"山手線"});
        notifier.withdraw();
        notifier.showDelay({"山手線"});
        QTest::qWait(500);
        QCOMPARE(notifier.notificationId(), 0u);

        NotificationServer server;
        QVERIFY(server.start(m_bus->address()));
        notifier.showDelay({"京浜東北線"});
        QTRY_COMPARE_WITH_TIMEOUT(server.notices.size(), 1, ReplyLimitMs);
        QCOMPARE(server.notices.first().body, QStringLiteral("京浜東北線"));
    }

    // The program ends: the notification is closed and nothing is shown after.
    void endWithdraws()
    {
        NotificationServer server;
        QVERIFY(server.start(m_bus->address()));
        FreedesktopNotifier notifier(connect());
        notifier.showDelay({"山手線"});
        QTRY_VERIFY_WITH_TIMEOUT(notifier.notificationId() != 0, ReplyLimitMs);
        const uint id = notifier.notificationId();

        notifier.end();
        notifier.showDelay({"京浜東北線"});

        QTRY_COMPARE_WITH_TIMEOUT(server.closed, QList<uint>{id}, ReplyLimitMs);
        QTest::qWait(200);
        QCOMPARE(server.notices.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
