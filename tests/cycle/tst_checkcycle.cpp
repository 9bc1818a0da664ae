// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The timed check cycle with a recording display, ticks driven by hand or by short real timers,
// and routes served by a scripted loopback server; with a record of checks and a report target,
// the confirmation of delays over rounds and restarts; what a route's telling rules let be told.
#include "calendar/CheckDays.h"
#include "check/RouteChecker.h"
#include "codec/Converter.h"
#include "cycle/CheckCycle.h"
#include "cycle/CheckRound.h"
#include "cycle/DelayReport.h"
#include "cycle/Telling.h"
#include "history/CheckHistory.h"
#include "report/Reporter.h"
#include "settings/CompanionSettings.h"
#include "support/CountingCycleDisplay.h"
#include "support/Files.h"
#include "support/RecordingDisplay.h"
#include "support/RecordingServer.h"
#include "support/ScriptedServer.h"
#include "support/ShortTimings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <limits>
#include <optional>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

const QString Word = QStringLiteral("平常運転");
const QString Delayed = QStringLiteral("delayed.html");
// How long the delayed page takes to come: a check lasts while the cycle's timers run.
constexpr int DelayedPageMs = 200;
constexpr int TickLimit = 10000;
constexpr int Never = 0;

// In the order of TrayPicture.
const char* const PictureNames[] = {"normal", "delay", "checking", "error"};

// Everything the cycle shows, in order, as short words.
class CycleLog : public CycleDisplay
{
public:
    QStringList events;
    QList<QStringList> notices;
    std::optional<int> selected = 30;

    void addTrayIcon() override { events << QStringLiteral("add icon"); }
    void hideMainWindow() override { events << QStringLiteral("hide window"); }
    void setTrayPicture(TrayPicture picture) override
    {
        events << QStringLiteral("icon ") + QLatin1String(PictureNames[int(picture)]);
    }
    void selectSettingsPage() override { events << QStringLiteral("settings page"); }
    void showPopup(const QList<PopupEntry>& entries) override
    {
        events << QStringLiteral("popup ") + test::popupText(entries);
    }
    void hidePopup() override { events << QStringLiteral("hide popup"); }
    // Kept apart from the events: the notice follows every report.
    void setDelayNotice(const QStringList& lines) override { notices << lines; }
    void setRecoveryNotice(const QStringList& lines) override
    {
        notices << QStringList{QStringLiteral("recovered:")} + lines;
    }
    void playChime() override { events << QStringLiteral("chime"); }
    std::optional<int> selectedIntervalMinutes() const override { return selected; }

    int checks() const { return int(events.count(QStringLiteral("icon checking"))); }
};

} // namespace

class TestCheckCycle : public QObject
{
    Q_OBJECT

    RouteTable m_table;
    RecordingDisplay m_checkDisplay;
    SettingsValues m_values;
    CycleLog m_log;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<RouteChecker> m_checker;
    std::unique_ptr<CheckRound> m_round;
    std::unique_ptr<CheckCycle> m_cycle;

    // Route r on the scripted server, whose page lacks the match word.
    void serveDelayed(int r)
    {
        // Start-up copies each title into the route's check record.
        m_round->states()[r].Title = QStringLiteral("路線%1").arg(r);
        m_table.setRouteField(r, Title, m_round->states()[r].Title);
        m_table.setRouteField(r, ServerName, QStringLiteral("127.0.0.1"));
        m_table.setRouteField(r, DirectoryName, Delayed);
        m_table.setRouteField(r, MatchWord, Word);
    }

    // Ticks by hand while the timer runs; the number of the tick that started a check, or
    // Never.
    int ticksToCheck()
    {
        for (int tick = 1; tick <= TickLimit && m_cycle->isTimer1Running(); ++tick) {
            m_cycle->Timer1_Timer();
            if (m_log.checks() > 0)
                return tick;
        }
        return Never;
    }

    // A checker and a cycle as the program starts them; the routes' states start unknown.
    void makeCycle()
    {
        m_cycle.reset();
        m_round.reset();
        m_checker = std::make_unique<RouteChecker>(m_checkDisplay);
        m_checker->setTimings(test::shortCheckTimings(m_server->port()));
        m_round = std::make_unique<CheckRound>(*m_checker, m_table);
        m_cycle = std::make_unique<CheckCycle>(*m_round, m_values, m_log);
        m_cycle->setPause([this](int ms) { m_log.events << QStringLiteral("pause %1").arg(ms); });
    }

private Q_SLOTS:
    void init()
    {
        m_table = RouteTable();
        m_checkDisplay = RecordingDisplay();
        m_values = SettingsValues();
        m_log = CycleLog();
        m_server = std::make_unique<ScriptedServer>();
        // In Shift_JIS, so that a check makes one connection and no byte fetch.
        m_server->onRequest(
            QLatin1Char('/') + Delayed,
            ScriptedServer::Script{ScriptedServer::Pause{DelayedPageMs}} +
                ScriptedServer::reply(
                    "200 OK", encodeCp932(QStringLiteral("<p>運転を見合わせています</p>"))));
        makeCycle();
    }

    void cleanup()
    {
        m_cycle.reset();
        m_round.reset();
        m_checker.reset();
        m_server.reset();
    }

    void firstCheckTick_data()
    {
        QTest::addColumn<int>("resident");
        QTest::addColumn<int>("checkAtOnce");
        QTest::addColumn<int>("interval");
        QTest::addColumn<std::optional<int>>("selected");
        QTest::addColumn<int>("countAt");  // set after start-up; -1 leaves it
        QTest::addColumn<int>("switchTo"); // interval chosen after start-up; 0 keeps it
        QTest::addColumn<int>("expectedTick");
        const std::optional<int> none;
        QTest::newRow("check at once: tick 1") << 1 << 1 << 30 << std::optional(30) << -1 << 0 << 1;
        QTest::newRow("without check at once: tick 180")
            << 1 << 0 << 30 << std::optional(30) << -1 << 0 << 180;
        QTest::newRow("no option selected keeps a hand-edited interval")
            << 1 << 0 << 45 << none << -1 << 0 << 270;
        QTest::newRow("the selected option sets the interval")
            << 1 << 0 << 45 << std::optional(10) << -1 << 0 << 60;
        QTest::newRow("switch to 10 minutes at count 100: that tick checks")
            << 1 << 0 << 30 << std::optional(30) << 100 << 10 << 1;
        QTest::newRow("switch to 60 minutes at count 100: counts on to 360")
            << 1 << 0 << 30 << std::optional(30) << 100 << 60 << 260;
        QTest::newRow("not resident: no timed check, also with check at once")
            << 0 << 1 << 10 << std::optional(10) << -1 << 0 << Never;
        QTest::newRow("interval beyond 32 bits is clamped, never every tick")
            << 1 << 0 << 400000000 << none << -1 << 0 << Never;
        QTest::newRow("interval beyond 32 bits with check at once: tick 1")
            << 1 << 1 << 400000000 << none << -1 << 0 << 1;
    }

    void firstCheckTick()
    {
        QFETCH(int, resident);
        QFETCH(int, checkAtOnce);
        QFETCH(int, interval);
        QFETCH(std::optional<int>, selected);
        QFETCH(int, countAt);
        QFETCH(int, switchTo);
        QFETCH(int, expectedTick);
        m_values = {interval, resident, 0, checkAtOnce};
        m_log.selected = selected;

        m_cycle->startUp();
        if (countAt >= 0)
            m_cycle->state().CheckTickCount = countAt;
        if (switchTo != 0)
            m_values.CheckIntervalMinutes = switchTo;

        QCOMPARE(ticksToCheck(), expectedTick);
        if (resident == 1) {
            QCOMPARE(m_log.events.mid(0, 2), (QStringList{"add icon", "hide window"}));
        } else {
            QVERIFY(m_log.events.isEmpty());
            QVERIFY(!m_cycle->isTimer1Running());
        }
        if (expectedTick != Never) {
            // No route delayed: the count restarts at once.
            QCOMPARE(m_log.events.mid(2),
                     (QStringList{"icon checking", "settings page", "icon normal"}));
            QCOMPARE(m_cycle->state().CheckTickCount, 0);
            QVERIFY(m_cycle->isTimer1Running());
        }
    }

    void reportResults_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<int>("melody");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("delayFound");
        // The desktop notification's lines; none withdraws the one shown.
        QTest::addColumn<QStringList>("notice");
        QTest::addColumn<QStringList>("reasons"); // route by route; none for no reason at all
        QTest::newRow("routes 2 and 5 delayed: two lines in route order")
            << QList<int>{0, 1, 0, 0, 1} << 0
            << QStringList{"popup 路線2　\r\n路線5　\r\n", "icon delay"} << 1
            << QStringList{"路線2", "路線5"} << QStringList{};
        QTest::newRow("failed without delay: error icon, no popup")
            << QList<int>{0, 0, 2, 0, 0} << 1 << QStringList{"icon error"} << 0 << QStringList{}
            << QStringList{};
        QTest::newRow("delay and failure: delay icon")
            << QList<int>{2, 0, 0, 1, 2} << 0 << QStringList{"popup 路線4　\r\n", "icon delay"} << 1
            << QStringList{"路線4"} << QStringList{};
        QTest::newRow("melody: three chimes half a second apart")
            << QList<int>{1, 0, 0, 0, 0} << 1
            << QStringList{"popup 路線1　\r\n", "chime", "pause 500", "chime",
                           "pause 500",         "chime", "icon delay"}
            << 1 << QStringList{"路線1"} << QStringList{};
        QTest::newRow("other statuses leave the normal icon")
            << QList<int>{-1, 0, 3, 4, 0} << 1 << QStringList{"icon normal"} << 0 << QStringList{}
            << QStringList{};
        QTest::newRow("a delay's reason under its line and in the notice, a normal route's never")
            << QList<int>{1, 0, 0, 0, 1} << 0
            << QStringList{"popup 路線1　\r\n　人身事故の影響で\r\n路線5　\r\n", "icon delay"} << 1
            << QStringList{"路線1 — 人身事故の影響で", "路線5"}
            << QStringList{"人身事故の影響で", "前の点検の理由"};
    }

    void reportResults()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(int, melody);
        QFETCH(QStringList, events);
        QFETCH(int, delayFound);
        QFETCH(QStringList, reasons);
        m_values.MelodyFlag = melody;
        for (int r = 1; r <= RouteCount; ++r) {
            m_round->states()[r].Title = QStringLiteral("路線%1").arg(r);
            m_table.setRouteField(r, Title, m_round->states()[r].Title);
            m_round->states()[r].Status = statuses.at(r - 1);
            m_round->states()[r].Reason = reasons.value(r - 1);
        }
        m_cycle->state().DelayFoundFlag = 1 - delayFound;

        m_cycle->ReportResults();

        QCOMPARE(m_log.events, events);
        QCOMPARE(m_cycle->state().DelayFoundFlag, delayFound);
        QFETCH(QStringList, notice);
        QCOMPARE(m_log.notices, QList<QStringList>{notice});
    }

    // The popup and the desktop's notice name a route by its title field as it stands, not as
    // loaded; the notice of a delay gives way to one of its recovery.
    void noticeNamesAndRecovery()
    {
        m_round->states()[2].Title = QStringLiteral("旧線");
        m_table.setRouteField(2, Title, QStringLiteral("新線"));
        for (const int status : {int(StatusDelayed), int(StatusNormal), int(StatusNormal)}) {
            m_round->states()[2].Status = status;
            m_cycle->ReportResults();
        }
        QCOMPARE(m_log.events.first(), QStringLiteral("popup 新線　\r\n"));
        QCOMPARE(m_log.notices,
                 (QList<QStringList>{{"新線"}, {"recovered:", "新線: 平常運転に戻りました"}, {}}));
    }

    // Each timed check leaves its record as the record reads it back: when, route, title,
    // verdict, coding and what settled it, how long it took; a route without a server leaves none.
    void timedChecksRecorded()
    {
        QTemporaryDir dir;
        CheckHistory history(dir.path());
        m_round->setHistory(&history);
        const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
        m_checker->setClock([now] { return now.toLocalTime(); });
        m_server->onRequest(
            QStringLiteral("/normal.html"),
            ScriptedServer::reply(
                "200 OK", QStringLiteral("<meta charset=\"utf-8\"><p>平常運転です</p>").toUtf8()));
        serveDelayed(1);
        for (int r : {1, 2, 3})
            m_table.setRouteField(r, Title, QStringLiteral("路線%1").arg(r));
        m_table.setRouteField(2, ServerName, QStringLiteral("127.0.0.1"));
        m_table.setRouteField(2, DirectoryName, QStringLiteral("normal.html"));
        m_table.setRouteField(2, MatchWord, Word);
        // Nothing listens there.
        m_table.setRouteField(3, ServerName, QStringLiteral("127.0.0.2"));
        m_values = {10, 1, 0, 1};
        m_cycle->startUp();
        QCOMPARE(ticksToCheck(), 1);

        QList<CheckRecord> records = history.records(now).value_or(QList<CheckRecord>());
        QCOMPARE(records.size(), 3);
        // From the start of the check to its verdict: the delayed page's wait included.
        const QList<int> leastMs = {DelayedPageMs, 0, 0};
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(records[i].fetchMs >= leastMs[i],
                     qPrintable(QString::number(records[i].fetchMs)));
            records[i].fetchMs = 0;
        }
        const QDateTime utc = now.toUTC();
        QCOMPARE(
            records,
            (QList<CheckRecord>{
                {utc, 1, "路線1", StatusDelayed, CheckSource::Timed, "Shift_JIS", "detected", 0},
                {utc, 2, "路線2", StatusNormal, CheckSource::Timed, "UTF-8", "meta", 0},
                {utc, 3, "路線3", StatusConnectFailed, CheckSource::Timed, {}, {}, 0},
            }));
    }

    // A delay read at 9:00 with reason, under route 1's options as Senrokan.ini says them: the
    // minutes the reason states (-1: none) and why it is not told (empty: told).
    void telling_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("whyNot");
        auto row = [](const char* tag, const char* options, const char* reason, int minutes,
                      const char* whyNot) {
            QTest::newRow(tag) << QString::fromUtf8(options) << QString::fromUtf8(reason) << minutes
                               << QString::fromUtf8(whyNot);
        };
        const char* least = "MinDelay=15";
        row("約5分", least, "人身事故の影響で、約5分の遅れが出ています", 5, "15分未満");
        row("最大20分", least, "車両点検の影響で、最大20分の遅れが出ています", 20, "");
        row("a range counts its end", least, "強風の影響で、10～15分程度の遅れ", 15, "");
        row("full-width digits", least, "信号トラブルのため、上下線に３０分程度の遅れ", 30, "");
        row("both ends with 分", least, "混雑のため、列車に10分～12分の遅れ", 12, "15分未満");
        row("hours and minutes", least, "大雨の影響で、約1時間10分の遅れ", 70, "");
        row("a time of day is no minutes", least, "7時15分頃の人身事故の影響で約5分の遅れ", 5,
            "15分未満");
        row("a headway is no minutes", least, "大雪のため20分間隔で運転、約10分の遅れ", 10,
            "15分未満");
        // Each suspension told, though it states fewer minutes than the least.
        const char* suspensions = "Tell=suspension\nMinDelay=15";
        row("a mere delay", suspensions, "車両点検の影響で遅れが出ています", -1, "見合わせのみ");
        row("運転見合わせ", suspensions, "運転見合わせ（約5分）", 5, "");
        row("運転を見合わせ", suspensions, "人身事故の影響で運転を見合わせています。約5分", 5, "");
        row("一部運休", suspensions, "大雪のため一部列車が運休、最大5分の遅れ", 5, "");
        row("折返し運転", suspensions, "品川～東京間で折返し運転、約5分の遅れ", 5, "");
        row("運転取りやめ", suspensions, "強風のため運転を取りやめています（5分）", 5, "");
        row("REDUCED_SERVICE", suspensions, "本数削減：線路点検で約5分の遅れ", 5, "");
        row("quiet until 19:31", "QuietUntil=2026-12-07T19:31:00", "遅延", -1, "今日は知らせない");
        row("quiet that has passed leaves the other rules",
            "QuietUntil=2026-12-07T08:59:59\nMinDelay=15", "約5分の遅れ", 5, "15分未満");
    }

    void telling()
    {
        QFETCH(QString, options);
        QFETCH(QString, reason);
        QFETCH(QString, whyNot);
        QTemporaryDir dir;
        test::writeBytes(dir.filePath(CompanionFileName), ("[Route1]\n" + options + '\n').toUtf8());
        const RouteOptions read = CompanionSettings(dir.path()).read().routes[1];
        QTEST(statedMinutes(reason).value_or(-1), "minutes");
        const RouteTelling told =
            verdictTelling(StatusDelayed, reason, read, QDateTime({2026, 12, 7}, {9, 0}));
        QCOMPARE(told.whyNot, whyNot);
        QCOMPARE(told.told, whyNot.isEmpty());
    }

    // Route 1 read once a timed check, the program started afresh on the same folder at each
    // "|": after each check, whether the popup showed the route and what was reported of it.
    void confirmedDelays_data()
    {
        QTest::addColumn<int>("confirm");
        // D suspended, m delayed 約5分, L delayed 最大30分, N normal, F connection failed, S a
        // Sunday the route leaves out; Q: 今日は知らせない before the next reading.
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("popups");  // P: the popup shows route 1
        QTest::addColumn<QString>("reports"); // D: its delay, N: its recovery
        QTest::addColumn<QString>("options"); // more of route 1's section of Senrokan.ini
        QTest::newRow("confirm 1: a told delay stays told over restarts") << 1 << "DS|D|N"
                                                                          << "P.P."
                                                                          << "D..N"
                                                                          << "";
        QTest::newRow("confirm 2: failures and a day left out neither count nor break the run")
            << 2 << "DFSDDN"
            << "...PP."
            << "...D.N"
            << "";
        QTest::newRow("confirm 2: a normal reading starts again and tells no recovery")
            << 2 << "DNDD"
            << "...P"
            << "...D"
            << "";
        QTest::newRow("confirm 3: counted over restarts") << 3 << "DF|DD|N"
                                                          << "...P."
                                                          << "...DN"
                                                          << "";
        QTest::newRow("suspensions only: no recovery of a delay not told, one of a suspension")
            << 1 << "mNmD|mN"
            << "...P.."
            << "...D.N"
            << "Tell=suspension";
        QTest::newRow("confirm 2, 15 minutes: the first confirmed delay that tells")
            << 2 << "mm|LN"
            << "..P."
            << "..DN"
            << "MinDelay=15";
        QTest::newRow("quiet for today: told before, then nothing, its recovery neither")
            << 1 << "LQL|N"
            << "P.."
            << "D.."
            << "";
    }

    void confirmedDelays()
    {
        QFETCH(int, confirm);
        QFETCH(QString, readings);
        QFETCH(QString, popups);
        QFETCH(QString, reports);
        QFETCH(QString, options);
        QTemporaryDir dir;
        test::RecordingServer target;
        test::writeBytes(dir.filePath(CompanionFileName),
                         QStringLiteral("[Notify]\nTargets=json://127.0.0.1:%1/hook\n[Route1]\n"
                                        "Days=月火水木金\nConfirm=%2\n%3\n")
                             .arg(target.port())
                             .arg(confirm)
                             .arg(options)
                             .toUtf8());
        const CompanionSettings companion(dir.path());
        const QDate monday = QDate::currentDate().addDays(1 - QDate::currentDate().dayOfWeek());
        QDateTime now(monday, QTime(8, 0));
        std::unique_ptr<CheckHistory> history;
        std::unique_ptr<Reporter> reporter;
        const QByteArray normal =
            encodeCp932(QStringLiteral("<p>") + Word + QStringLiteral("</p>"));
        const QMap<QChar, QByteArray> delays = {
            {u'D', encodeCp932(QStringLiteral("<p>運転を見合わせています</p>"))},
            {u'm', encodeCp932(QStringLiteral("<p>約5分の遅れ</p>"))},
            {u'L', encodeCp932(QStringLiteral("<p>最大30分の遅れ</p>"))}};
        // The records need the titles. Route 2's normal checks between route 1's must not count
        // in route 1's run.
        for (int r : {1, 2})
            m_table.setRouteField(r, Title, QStringLiteral("路線%1").arg(r));
        m_table.setRouteField(2, ServerName, QStringLiteral("127.0.0.1"));
        m_table.setRouteField(2, DirectoryName, QStringLiteral("normal.html"));
        m_table.setRouteField(2, MatchWord, Word);
        m_server->onRequest(QStringLiteral("/normal.html"),
                            ScriptedServer::reply("200 OK", normal));
        auto start = [&] {
            makeCycle();
            history = std::make_unique<CheckHistory>(dir.path());
            reporter = std::make_unique<Reporter>();
            m_checker->setClock([&now] { return now; });
            m_round->setHistory(history.get());
            m_round->setReporter(reporter.get());
            m_round->setCompanion(&companion);
            serveDelayed(1);
            // The paragraph is the reason.
            m_table.setRouteField(1, SubtitleStart, QStringLiteral("<p>"));
            m_table.setRouteField(1, SubtitleEnd, QStringLiteral("</p>"));
        };
        start();
        QString popupsSeen;
        QString reportsSeen;
        int told = 0;
        for (const QChar reading : readings) {
            if (reading == u'|') {
                start();
                continue;
            }
            if (reading == u'Q') {
                QVERIFY(companion.saveQuietUntil(1, senrokan::dayEnd({}, now)).done);
                m_cycle->setQuietUntil(1, senrokan::dayEnd({}, now));
                continue;
            }
            // On to the next Sunday, or the next other day: the record keeps the checks' order.
            now = now.addSecs(60);
            while ((now.date().dayOfWeek() == Qt::Sunday) != (reading == u'S'))
                now = now.addDays(1);
            m_server->onRequest(
                QLatin1Char('/') + Delayed,
                reading == u'F'
                    ? ScriptedServer::Script{ScriptedServer::Reset{}}
                    : ScriptedServer::reply(
                          "200 OK", reading == u'N' ? normal : delays.value(reading, delays['D'])));
            m_log.events.clear();
            m_cycle->state().CheckTickCount = m_cycle->tickTarget();
            m_cycle->Timer1_Timer();
            popupsSeen +=
                m_log.events.filter(QStringLiteral("popup 路線1　")).isEmpty() ? u'.' : u'P';
            // Going resident again from the window shows the icon the check left.
            const QString icon = m_log.events.constLast();
            m_cycle->goResident();
            QCOMPARE(m_log.events.constLast(), icon);
            QTRY_COMPARE(reporter->sender().pending(), 0);
            if (target.requests().size() == told) {
                reportsSeen += u'.';
                continue;
            }
            const QString message = QJsonDocument::fromJson(target.requests().at(told++).body)
                                        .object()
                                        .value(QStringLiteral("message"))
                                        .toString();
            reportsSeen += message.startsWith(QStringLiteral("路線1: 遅延")) ? u'D'
                           : message.startsWith(QStringLiteral("路線1: 平常運転に戻りました"))
                               ? u'N'
                               : u'?';
        }
        QCOMPARE(popupsSeen, popups);
        QCOMPARE(reportsSeen, reports);
        QCOMPARE(target.requests().size(), told);
        // Every check was recorded as it read, a delay not yet told too.
        QString recorded;
        for (const CheckRecord& record :
             history->records(monday.startOfDay(), 1).value_or(QList<CheckRecord>()))
            recorded += QStringLiteral("NDF.S").at(record.status);
        QCOMPARE(recorded, QString(readings)
                               .remove(QRegularExpression("[|Q]"))
                               .replace(QRegularExpression("[mL]"), QStringLiteral("D")));
    }

    void popupHold_data()
    {
        QTest::addColumn<int>("closeAfter"); // popup ticks before the user closes it; -1 never
        QTest::addColumn<bool>("hidden");
        QTest::newRow("18 popup ticks") << -1 << true;
        QTest::newRow("closed after 5 popup ticks") << 5 << false;
    }

    void popupHold()
    {
        QFETCH(int, closeAfter);
        QFETCH(bool, hidden);
        serveDelayed(2);
        m_values = {30, 1, 0, 1};
        m_cycle->startUp();

        QCOMPARE(ticksToCheck(), 1);
        QCOMPARE(m_log.events.mid(2), (QStringList{"icon checking", "settings page",
                                                   "popup 路線2　\r\n", "icon delay"}));
        QCOMPARE(m_cycle->state().DelayFoundFlag, 1);
        QVERIFY(m_cycle->isPopupTimerRunning());
        QCOMPARE(m_cycle->state().PopupTickCount, 0);

        int popupTicks = 0;
        while (m_cycle->isPopupTimerRunning() && popupTicks != closeAfter) {
            // While the popup is up no timed check can come.
            QVERIFY(!m_cycle->isTimer1Running());
            m_cycle->Form3_Timer1_Timer();
            ++popupTicks;
        }
        if (closeAfter >= 0) {
            QVERIFY(m_cycle->isPopupTimerRunning());
            m_cycle->Form3_Form_Unload();
        } else {
            QCOMPARE(popupTicks, 18);
        }

        QCOMPARE(m_log.events.contains(QStringLiteral("hide popup")), hidden);
        QCOMPARE(m_cycle->state().DelayFoundFlag, 0);
        QCOMPARE(m_cycle->state().CheckTickCount, 0);
        QCOMPARE(m_cycle->state().PopupTickCount, 0);
        QVERIFY(m_cycle->isTimer1Running());
        QVERIFY(!m_cycle->isPopupTimerRunning());
        // The next check is one whole interval away.
        m_log.events.clear();
        QCOMPARE(ticksToCheck(), 180);
    }

    void heldWhileACheckRuns_data()
    {
        QTest::addColumn<bool>("interactive");
        QTest::newRow("tick during an interactive check") << true;
        QTest::newRow("going resident during a timed check") << false;
    }

    // Real timers with short periods: ticks arrive while a check pumps the event loop.
    void heldWhileACheckRuns()
    {
        QFETCH(bool, interactive);
        serveDelayed(1);
        CycleTimings timings;
        timings.tickMs = 5;
        m_cycle->setTimings(timings);
        m_values = {10, 1, 0, 1};
        int ticksDuringCheck = 0;
        QTimer counter;
        counter.setInterval(5);
        connect(&counter, &QTimer::timeout, this, [&] {
            if (m_checker->isRunning() && m_cycle->isTimer1Running())
                ++ticksDuringCheck;
        });
        counter.start();

        if (interactive) {
            m_cycle->startUp();
            m_round->run({CheckSource::Button, 1, false, {}});
            QCOMPARE(m_log.checks(), 0);
            QCOMPARE(m_server->connectionCount(), 1);
            QVERIFY(m_cycle->state().CheckTickCount >= m_cycle->tickTarget());
            // The held check runs on a following tick.
            QTRY_COMPARE(m_log.checks(), 1);
            QTRY_VERIFY(m_cycle->isPopupTimerRunning());
            QCOMPARE(m_server->connectionCount(), 2);
        } else {
            m_cycle->startUp();
            // Shown from the icon and made resident again while the check waits for the network.
            QTimer::singleShot(30, this, [this] {
                QVERIFY(m_checker->isRunning());
                m_cycle->goResident();
                QCOMPARE(m_cycle->state().CheckTickCount, m_cycle->tickTarget());
            });
            QTRY_VERIFY(m_cycle->isPopupTimerRunning());
            QCOMPARE(m_log.checks(), 1);
            QCOMPARE(m_server->connectionCount(), 1);
            QVERIFY(!m_cycle->isTimer1Running());
            QCOMPARE(m_log.events.count(QStringLiteral("add icon")), 2);
        }
        QVERIFY2(ticksDuringCheck > 0, "no tick came while the check ran");
    }
};

QTEST_GUILESS_MAIN(TestCheckCycle)
#include "tst_checkcycle.moc"
