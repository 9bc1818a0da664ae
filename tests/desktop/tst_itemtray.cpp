// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The real program on today's desktops: a StatusNotifierItem tray and a notification service on
// a private session bus, on X11 (Xvfb, no XEmbed tray) and on Wayland (weston). The icon
// registers with a theme name and exports its menu; a click (Activate) or the notification's
// action brings the window back and disables the menu; a delay is notified; the menu's "終了"
// saves, takes the notification away and ends the program. A watcher that never answers holds
// up the start by no more than the program's bounded question (beyond Qt's own check).
#include "support/Files.h"
#include "support/NotificationServer.h"
#include "support/OdptStandIn.h"
#include "support/ProgramRun.h"
#include "support/ScriptedServer.h"
#include "support/SettingsWriter.h"
#include "support/SilentService.h"
#include "support/StatusNotifierWatcher.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace senrokan::test;

namespace
{

// A hang guard only: the first timed check runs on the first tick, ten seconds after start.
constexpr int CheckLimitMs = 90000;
const char* const WebHost = "127.0.5.6";
// From the program's question to a watcher that never answers to its window on screen: the
// program waits a second for the answer; a loaded machine may take a few more to show the
// window, Qt's own wait for a call is 25 s.
constexpr qint64 StartBoundMs = 10000;

enum class Scenario { Activate, NotifyAndAction, NotifyAndExit, CheckNowRecovers, FailedBetween };

// The pictures where an installation puts them, in a data folder of their own.
bool installIcons(const QString& dataDir)
{
    const QString theme = dataDir + "/icons/hicolor/scalable/";
    return QDir().mkpath(theme) && QFile::link(SENROKAN_ICONS, theme + "apps") &&
           QFile::link(SENROKAN_ICONS, theme + "status");
}

// The item's menu as the tray draws it, a greyed entry marked so.
QStringList drawn(const QList<StatusNotifierWatcher::MenuEntry>& entries)
{
    QStringList texts;
    for (const auto& entry : entries)
        texts << entry.label + (entry.enabled ? "" : " (greyed)");
    return texts;
}

} // namespace

class TestItemTray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void desktop_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<Scenario>("scenario");
        const QList<QPair<const char*, bool>> platforms{{"X11", false}, {"Wayland", true}};
        for (const auto& [name, wayland] : platforms) {
            QTest::addRow("%s: a click on the icon brings the window back", name)
                << wayland << Scenario::Activate;
            QTest::addRow("%s: the notification's action brings the window back", name)
                << wayland << Scenario::NotifyAndAction;
            QTest::addRow("%s: 終了 in the tray's menu ends the program", name)
                << wayland << Scenario::NotifyAndExit;
            QTest::addRow("%s: 今すぐチェック finds the line running again", name)
                << wayland << Scenario::CheckNowRecovers;
            QTest::addRow("%s: a recovery told after a failed check, beside a delay", name)
                << wayland << Scenario::FailedBetween;
        }
    }

    void desktop()
    {
        QFETCH(bool, wayland);
        QFETCH(Scenario, scenario);
        const bool delayed = scenario != Scenario::Activate;
        const bool twoLines = scenario == Scenario::FailedBetween;
        const auto stopped = ScriptedServer::reply("200 OK", "<p>運転を見合わせています</p>");
        std::unique_ptr<ScriptedServer> web;
        if (delayed) {
            web = std::make_unique<ScriptedServer>(WebHost, 80);
            if (web->port() != 80)
                QSKIP("the program checks on port 80, which needs root");
            web->onRequest("/delayed.html", ScriptedServer::reply(
                                                "200 OK", "<p>山手線は運転を見合わせています</p>"));
            web->onRequest("/chuo.html", stopped);
        }
        DisplaySession display(wayland ? DisplaySession::Wayland : 0);
        QVERIFY2(display.start(), qPrintable(display.error()));
        StatusNotifierWatcher tray;
        QVERIFY(tray.start(display.bus().address()));
        NotificationServer notifications;
        QVERIFY(notifications.start(display.bus().address()));

        QTemporaryDir work;
        QVERIFY(installIcons(work.filePath("share")));
        const QString settingsPath = work.filePath("Senrokan.DEF");
        // Resident, interval 10 minutes, no chime, a check at once as asked; route 1 on the web
        // server.
        QList<QStringList> routes{{"山手線", WebHost, "delayed.html", "平常運転"}};
        if (twoLines)
            routes.append({"中央線", WebHost, "chuo.html", "平常運転"});
        // Besides, on the way out: a feed line stopped, and a line whose server answers 503.
        const bool three = scenario == Scenario::NotifyAndExit;
        OdptStandIn api;
        if (three) {
            QVERIFY2(api.start(), qPrintable(api.error()));
            web->onRequest("/down.html", ScriptedServer::reply("503 Service Unavailable", ""));
            writeBytes(work.filePath("Senrokan.ini"),
                       ("[ODPT]\nBase=" + api.base() + "\nConsumerKey=" + OdptStandIn::ConsumerKey +
                        "\n[Route2]\nFeed=" + api.base() +
                        "odpt:TrainInformation?odpt:operator=odpt.Operator:Sakura\n"
                        "FeedLine=odpt.Railway:Sakura.Hanamichi\n")
                           .toUtf8());
            routes.append({"花道線"});
            routes.append({"銀座線", WebHost, "down.html", "平常運転"});
        }
        writeSettings(settingsPath, {10, 1, 0, delayed ? 1 : 0}, routes);
        const QByteArray written = readBytes(settingsPath);
        ProgramRun program(display, work.path(),
                           {{"XDG_DATA_DIRS", work.filePath("share") + ":/usr/share"}});

        // Resident: the item registers, named by the theme, its menu given to the tray.
        QTRY_COMPARE_WITH_TIMEOUT(drawn(tray.menu()),
                                  (QStringList{"設定", "今すぐチェック", "終了"}),
                                  ProgramRun::LimitMs);
        if (!wayland)
            QCOMPARE(program.shownWindows(), QList<quint32>{});
        uint noticeId = 0;
        if (delayed) {
            QTRY_COMPARE_WITH_TIMEOUT(notifications.notices.size(), 1, CheckLimitMs);
            const QString body = notifications.notices.first().body;
            QVERIFY2(three ? body.startsWith(QStringLiteral("山手線\n花道線"))
                           : body == (twoLines ? QStringLiteral("山手線\n中央線")
                                               : QStringLiteral("山手線")),
                     qPrintable(body));
            noticeId = notifications.notices.first().id;
            // The tip says which line, how and when.
            QTRY_VERIFY_WITH_TIMEOUT(tray.toolTipTitle().startsWith("山手線: 遅延 "),
                                     ProgramRun::LimitMs);
            // Each line says the state its check found, once, and why a check failed.
            const QString tip = tray.toolTipTitle();
            QVERIFY2(
                !three ||
                    (tip.contains("\n花道線: 運転見合わせ ") && !tip.contains("花道線: 遅延") &&
                     tip.contains(QRegularExpression("\n銀座線: 接続失敗 \\d\\d:\\d\\d HTTP 503"))),
                qPrintable(tip));
        }
        QTRY_COMPARE_WITH_TIMEOUT(tray.itemProperty("IconName").toString(),
                                  delayed ? "senrokan-delay" : "senrokan", ProgramRun::LimitMs);

        switch (scenario) {
        case Scenario::Activate:
            QCOMPARE(tray.callItem("Activate", {0, 0}).type(), QDBusMessage::ReplyMessage);
            break;
        case Scenario::NotifyAndAction:
            notifications.invokeAction(noticeId, "default");
            break;
        case Scenario::CheckNowRecovers:
            web->onRequest("/delayed.html", ScriptedServer::reply("200 OK", "<p>平常運転</p>"));
            QCOMPARE(tray.clickMenuEntry(tray.menu().at(1).id).type(), QDBusMessage::ReplyMessage);
            // The delay's notice gives way to its recovery, which goes by itself.
            QTRY_COMPARE_WITH_TIMEOUT(notifications.notices.size(), 2, CheckLimitMs);
            QCOMPARE(notifications.notices.last().replacesId, noticeId);
            QCOMPARE(notifications.notices.last().body,
                     QStringLiteral("山手線: 平常運転に戻りました"));
            QVERIFY(notifications.notices.last().timeout > 0);
            QVERIFY(tray.toolTipTitle().startsWith("山手線: 平常運転 "));
            QCOMPARE(tray.itemProperty("IconName").toString(), "senrokan");
            return;
        case Scenario::FailedBetween: {
            // Both lines fail a check (the delay's notice is taken away), then 山手線 runs again
            // while 中央線 is still stopped.
            const QList<StatusNotifierWatcher::MenuEntry> menu = tray.menu();
            web->onRequest("/delayed.html", ScriptedServer::reply("503 Service Unavailable", ""));
            web->onRequest("/chuo.html", ScriptedServer::reply("503 Service Unavailable", ""));
            tray.clickMenuEntry(menu.at(1).id);
            QTRY_COMPARE_WITH_TIMEOUT(notifications.closed, QList<uint>{noticeId}, CheckLimitMs);
            web->onRequest("/delayed.html", ScriptedServer::reply("200 OK", "<p>平常運転</p>"));
            web->onRequest("/chuo.html", stopped);
            // The check has ended when the program's own entries are drawn as before (the
            // lines' 今日は知らせない after them went with their delays).
            QTRY_COMPARE_WITH_TIMEOUT(drawn(tray.menu()).mid(0, 3), drawn(menu).mid(0, 3),
                                      ProgramRun::LimitMs);
            tray.clickMenuEntry(menu.at(1).id);
            QTRY_COMPARE_WITH_TIMEOUT(notifications.notices.size(), 2, CheckLimitMs);
            QCOMPARE(notifications.notices.last().body,
                     QStringLiteral("中央線\n山手線: 平常運転に戻りました"));
            return;
        }
        case Scenario::NotifyAndExit:
            QCOMPARE(tray.clickMenuEntry(tray.menu().at(2).id).type(), QDBusMessage::ReplyMessage);
            QCOMPARE(program.ended(), 0);
            QCOMPARE(notifications.closed, QList<uint>{noticeId});
            QCOMPARE(readBytes(settingsPath), written);
            return;
        }

        // Shown from the icon: the menu's entries stay greyed until the program goes resident
        // again, and a click on one does nothing.
        QStringList greyed{"設定 (greyed)", "今すぐチェック (greyed)", "終了 (greyed)"};
        // A delayed line's 今日は知らせない comes after them.
        if (delayed)
            greyed << ""
                   << "山手線: 今日は知らせない (greyed)";
        QTRY_COMPARE_WITH_TIMEOUT(drawn(tray.menu()), greyed, ProgramRun::LimitMs);
        if (!wayland)
            QVERIFY(program.waitShown() != 0);
        tray.clickMenuEntry(tray.menu().at(2).id);
        QTest::qWait(1000);
        QVERIFY(program.running());
    }

    // A watcher that owns its name but never answers, beside an X11 tray: Qt's own check waits
    // for it as long as Qt waits for any call, the program's one question after it no longer
    // than its bound, and the window comes.
    void silentWatcher()
    {
        DisplaySession display(DisplaySession::Tray);
        QVERIFY2(display.start(), qPrintable(display.error()));
        SilentService watcher;
        QVERIFY(watcher.start(display.bus().address(), "org.kde.StatusNotifierWatcher",
                              "/StatusNotifierWatcher"));
        QTemporaryDir work;
        writeSettings(work.filePath("Senrokan.DEF"), {10, 0, 0, 0});
        ProgramRun program(display, work.path());
        QVERIFY(program.waitShown() != 0);
        const qint64 shownMs = watcher.elapsedMs();

        QVERIFY(!watcher.calls.isEmpty());
        const SilentService::Call asked = watcher.calls.last();
        QCOMPARE(asked.interface + "." + asked.member, "org.freedesktop.DBus.Properties.Get");
        QCOMPARE(std::count_if(watcher.calls.begin(), watcher.calls.end(),
                               [](const auto& call) { return call.member == "Get"; }),
                 1);
        QCOMPARE_LE(shownMs - asked.atMs, StartBoundMs);
    }
};

QTEST_GUILESS_MAIN(TestItemTray)
#include "tst_itemtray.moc"
