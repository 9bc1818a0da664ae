// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan-check end to end on routes read from official feeds: ODPT train information and
// GTFS-Realtime alerts served by a real nginx on loopback, normal, delayed and broken. Each run
// is judged by its exit status, --json, the record of checks and a report caught on loopback;
// the consumer key in the feed's address appears in none of them.
#include "history/CheckHistory.h"
#include "settings/CompanionSettings.h"
#include "settings/SettingsFile.h"
#include "support/AlertsFeed.h"
#include "support/Files.h"
#include "support/NginxSite.h"
#include "support/Pages.h"
#include "support/ProcessRun.h"
#include "support/RecordingServer.h"
#include "support/SettingsWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace senrokan;

namespace
{

const QString Host = QStringLiteral("127.0.5.10");
const QString LineTitle = QStringLiteral("浅草線");
const QByteArray Key = "SECRETKEY";
// Each led by the state of service the feed gives.
const QString OdptReason = QStringLiteral("遅延：人身事故の影響で、一部列車に遅れが出ています。");
const QString AlertReason =
    QStringLiteral("運休：運転見合わせ 信号故障の影響で、浅草橋〜押上間で運転を見合わせています。");

// Two directions of a delayed line, a normal line with a status and one without, as Toei serves
// them: language maps and plain strings.
const QByteArray Odpt = QStringLiteral(R"([
 {"@type": "odpt:TrainInformation", "odpt:railway": "odpt.Railway:Toei.Asakusa",
  "odpt:trainInformationStatus": {"ja": "平常運転", "en": "Normal"},
  "odpt:trainInformationText": {"ja": "現在、平常どおり運転しています。"}},
 {"@type": "odpt:TrainInformation", "odpt:railway": "odpt.Railway:Toei.Asakusa"},
 {"@type": "odpt:TrainInformation", "odpt:railway": "odpt.Railway:Toei.Oedo",
  "odpt:trainInformationStatus": {"ja": "遅延", "en": "Delay"},
  "odpt:trainInformationText": {"ja": "%1", "en": "Some trains are delayed."}},
 {"@type": "odpt:TrainInformation", "odpt:railway": "odpt.Railway:Toei.Oedo",
  "odpt:trainInformationStatus": "平常運転"}
])")
                            .arg(OdptReason)
                            .toUtf8();

QByteArray alerts()
{
    test::FeedAlert lift;
    lift.routeId = QStringLiteral("Red");
    lift.effect = gtfsrt::Alert::ACCESSIBILITY_ISSUE;
    lift.header = {{QStringLiteral("エレベーター停止"), QStringLiteral("ja")}};
    test::FeedAlert stop;
    stop.routeId = QStringLiteral("Blue");
    stop.effect = gtfsrt::Alert::NO_SERVICE;
    stop.header = {{QStringLiteral("Service suspended"), QStringLiteral("en")},
                   {QStringLiteral("運転見合わせ"), QStringLiteral("ja")}};
    stop.description = {{AlertReason.sliced(AlertReason.indexOf(u' ') + 1), std::nullopt}};
    return test::alertsFeed({lift, stop}, QDateTime::currentSecsSinceEpoch());
}

} // namespace

class TestFeedsEndToEnd : public QObject
{
    Q_OBJECT
    // Any free port: the feed's address names it, so no root is needed.
    test::NginxSite m_site{Host};
    QString m_base;

    test::ProcessResult run(const QString& folder, const QStringList& args)
    {
        test::ProcessOptions options;
        options.workingDirectory = folder;
        options.turnEventLoop = true;
        return test::runProcess(QStringLiteral(SENROKAN_CHECK_EXE), args, options);
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QByteArray feed = alerts();
        QVERIFY(m_site.put("odpt.json", Odpt) && m_site.put("alerts.pb", feed) &&
                m_site.put("broken.json", Odpt.first(Odpt.indexOf("Oedo"))) &&
                // as an operator that lists only its troubled lines serves it
                m_site.put("troubled.json", R"([{"@type": "odpt:TrainInformation", )"
                                            R"("odpt:railway": "odpt.Railway:Toei.Oedo", )"
                                            R"("odpt:trainInformationStatus": "遅延"}])") &&
                // cut inside the last alert's text
                m_site.put("broken.pb", feed.chopped(3)) &&
                m_site.put("huge.pb", feed + QByteArray(16 << 20, '\0')) &&
                // only compressed: a client that cannot read it reads no feed at all
                m_site.put("gz/odpt.json.gz", test::gzipped(Odpt)) &&
                // labelled gzip, sent as it is: a common server mistake
                m_site.put("gz/plain.json.gz", Odpt));
        QVERIFY2(m_site.start(QStringLiteral("types { application/json json; "
                                             "application/x-protobuf pb; } "
                                             "location /gz/ { gzip_static always; }")),
                 qPrintable(m_site.error()));
        m_base = QStringLiteral("http://%1:%2/").arg(Host).arg(m_site.plainPort());
    }

    void checkedFromFeed_data()
    {
        QTest::addColumn<QString>("feed"); // the key is added
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("told"); // on stderr with --verbose
        QTest::addColumn<QString>("notice");
        const QString asakusa = QStringLiteral("odpt.Railway:Toei.Asakusa");
        const QString oedo = QStringLiteral("odpt.Railway:Toei.Oedo");
        const QString delayed = QStringLiteral("route 1: 遅延 — ");
        const QString failed = QStringLiteral("route 1: 接続失敗: ");
        auto row = [&](const char* name, const char* path, const QString& line, bool server,
                       int status, const QString& reason, const QString& told,
                       const QString& notice = {}) {
            QTest::newRow(name) << QString(m_base + QLatin1String(path)) << line
                                << (server ? Host : QString()) << status << reason << told
                                << notice;
        };
        row("odpt normal", "odpt.json", asakusa, true, 0, "", "");
        row("odpt delayed", "odpt.json", oedo, true, 1, OdptReason, delayed + OdptReason);
        row("odpt delayed, gzip", "gz/odpt.json", oedo, true, 1, OdptReason, delayed + OdptReason);
        row("odpt line missing", "odpt.json", "odpt.Railway:Toei.Mita", true, 2, "",
            failed + "odpt.Railway:Toei.Mita はフィードにありません");
        row("odpt line missing, troubled lines only", "troubled.json", asakusa, true, 0, "",
            "route 1: odpt.Railway:Toei.Asakusa はフィードにありません。odpt.Operator:Toei は平常の"
            "路線を載せていない");
        row("odpt broken JSON", "broken.json", asakusa, true, 2, "",
            failed + "フィードのJSONが壊れています");
        const QString lift = QStringLiteral("お知らせ：エレベーター停止");
        row("gtfs-rt normal, a notice", "alerts.pb", "Red", true, 0, "",
            "route 1: 平常運転 — " + lift, lift);
        row("gtfs-rt delayed", "alerts.pb", "Blue", true, 1, AlertReason, delayed + AlertReason);
        row("gtfs-rt delayed, no server", "alerts.pb", "Blue", false, 1, AlertReason,
            delayed + AlertReason);
        row("gtfs-rt cut short", "broken.pb", "Blue", true, 2, "", failed + "フィードを読めません");
        row("not served", "missing.pb", "Blue", true, 2, "", failed + "HTTP 404");
        // The HTTP client would quote such an address whole in its complaint, key decoded.
        const QString noHost = failed + QStringLiteral("フィードのアドレスにホスト名がありません");
        QTest::newRow("address without host") << "http:///alerts.pb"
                                              << "Blue" << Host << 2 << "" << noHost << "";
        QTest::newRow("address a slash short")
            << QStringLiteral("https:/%1:%2/alerts.pb").arg(Host).arg(m_site.plainPort()) << "Blue"
            << Host << 2 << "" << noHost << "";
        row("feed over the reply cap", "huge.pb", "Blue", true, 2, "",
            failed + "フィードが大きすぎます（16 MiBまで）");
        row("gzip over a plain body", "gz/plain.json", oedo, true, 2, "",
            failed + "gzip の本文を展開できません（壊れています）");
    }

    void checkedFromFeed()
    {
        QFETCH(QString, feed);
        QFETCH(QString, line);
        QFETCH(QString, server);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(QString, told);
        QFETCH(QString, notice);
        QTemporaryDir folder;
        test::writeSettings(
            folder.filePath(SettingsFileName), SettingsValues(),
            {{LineTitle, server, server.isEmpty() ? QString() : QStringLiteral("index.html"),
              "平常運転"}});
        test::writeBytes(folder.filePath(CompanionFileName),
                         QStringLiteral("[Route1]\nFeed=%1?acl:consumerKey=%2\nFeedLine=%3\n")
                             .arg(feed, QString::fromLatin1(Key), line)
                             .toUtf8());
        test::RecordingServer receiver;

        const test::ProcessResult check =
            run(folder.path(), {"--json", "--verbose", "--notify-url",
                                QStringLiteral("json://127.0.0.1:%1/hook").arg(receiver.port())});
        QCOMPARE(check.exitCode, status);
        const QJsonObject route = QJsonDocument::fromJson(check.out).array().at(0).toObject();
        QCOMPARE(route.value("status").toInt(), status);
        QCOMPARE(route.value("reason"), QJsonValue(reason));
        QCOMPARE(route.value("notice"), QJsonValue(notice));
        QVERIFY2(QString::fromUtf8(check.err).contains(told), check.err.constData());

        // Only a delay is a change worth a report: this is the route's first check.
        QCOMPARE(receiver.requests().size(), status == 1 ? 1 : 0);
        if (status == 1) {
            const QJsonObject sent =
                QJsonDocument::fromJson(receiver.requests().at(0).body).object();
            QCOMPARE(sent.value("message").toString().section(u'\n', 0, 0),
                     LineTitle + QStringLiteral(": 遅延 — ") + reason);
        }

        const test::ProcessResult history = run(folder.path(), {"--history", "--json"});
        const QJsonArray records = QJsonDocument::fromJson(history.out).array();
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.at(0)["status"].toInt(), status);
        // A line running normally keeps its notices in the record.
        QCOMPARE(records.at(0)["reason"], QJsonValue(reason.isEmpty() ? notice : reason));
        QCOMPARE(records.at(0)["codingSource"].toString(), QStringLiteral("feed"));

        // The key stays in Senrokan.ini, which is the user's alone.
        test::Files files = test::filesIn(folder.path());
        files.remove(CompanionFileName);
        QVERIFY(files.contains(HistoryFileName));
        files.insert(QStringLiteral("stdout, stderr"), check.out + check.err + history.err);
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QVERIFY2(!it.value().contains(Key), qPrintable(it.key()));
    }
};

QTEST_GUILESS_MAIN(TestFeedsEndToEnd)

#include "tst_feeds_e2e.moc"
