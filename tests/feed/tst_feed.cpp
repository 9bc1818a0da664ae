// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The verdict and reason of official feeds: the ODPT train-information rule, the GTFS-Realtime
// alerts rule, and bodies that are neither or are broken; the search among ODPT's lines.
#include "feed/FeedTexts.h"
#include "feed/OdptLines.h"
#include "feed/OfficialFeed.h"
#include "support/AlertsFeed.h"

#include <QTest>
#include <QTimeZone>

using namespace senrokan;
using namespace senrokan::test;
using Effect = gtfsrt::Alert;

Q_DECLARE_METATYPE(QList<senrokan::test::FeedAlert>)

namespace
{

const QString Asakusa = QStringLiteral("odpt.Railway:Toei.Asakusa");
const QString Word = QStringLiteral("平常");
constexpr qint64 Now = 1796684400; // 2026-12-08 08:00 in Tokyo
const qint64 Hour = 3600;

// Times of feeds are shown in the clock's zone.
QDateTime tokyoNow()
{
    return QDateTime::fromSecsSinceEpoch(Now, QTimeZone(QByteArrayLiteral("Asia/Tokyo")));
}

QByteArray odptRecord(const char* railway, const char* fields)
{
    return QByteArrayLiteral(R"({"@type":"odpt:TrainInformation","odpt:operator":)"
                             R"("odpt.Operator:Toei","odpt:railway":")") +
           railway + "\"" + fields + "}";
}

// reason: the delay's, or for a failed check what was wrong, which never travels as a reason.
void expect(const Verdict& verdict, int status, const QString& reason)
{
    QCOMPARE(verdict.status, status);
    const bool failed = status == StatusConnectFailed;
    QCOMPARE(failed ? verdict.failure : verdict.reason, reason);
    QVERIFY((failed ? verdict.reason : verdict.failure).isEmpty());
}

} // namespace

class TestFeed : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // ODPT: the line's newest records, a status without the match word tells a delay; a line
    // left out by an operator that lists only troubled lines runs normally.
    void odpt_data()
    {
        QTest::addColumn<QByteArrayList>("records");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("address"); // the feed's
        const char* a = "odpt.Railway:Toei.Asakusa";
        const QByteArray normalText = R"(,"odpt:trainInformationText":{"ja":"平常運転","en":"OK"})";
        const QByteArray delayed =
            R"(,"odpt:trainInformationStatus":{"ja":"遅延","en":"Delay"},)"
            R"("odpt:trainInformationText":{"en":"Delays","ja":"人身事故の影響で遅れています"})";
        // The state of service first: a suspension never reads as a mere delay.
        const QString accident = QStringLiteral("遅延：人身事故の影響で遅れています");
        auto row = [&](const char* name, const QByteArrayList& records, int status,
                       const QString& reason = {}, const char* word = "平常",
                       const QString& notice = {}, const char* address = "") {
            QTest::newRow(name) << records << QString::fromUtf8(word) << status << reason << notice
                                << QString::fromLatin1(address);
        };
        row("no status", {odptRecord(a, normalText)}, StatusNormal);
        row("null status", {odptRecord(a, R"(,"odpt:trainInformationStatus":null)")}, StatusNormal);
        row("status with the match word",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":{"ja":"平常運転"})")}, StatusNormal);
        row("match word found as the page search finds it",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":"ﾀﾞｲﾔ通り")")}, StatusNormal, {},
            "ダイヤ通り");
        row("status without the match word", {odptRecord(a, delayed)}, StatusDelayed, accident);
        row("missing line beside a normal one of its operator",
            {odptRecord("odpt.Railway:Toei.Mita", delayed),
             odptRecord("odpt.Railway:Toei.Oedo", normalText)},
            StatusConnectFailed, Asakusa + feedtext::LineMissing);
        row("missing line, its operator lists troubled lines only",
            {odptRecord("odpt.Railway:Toei.Mita", delayed)}, StatusNormal);
        row("missing line, an empty answer", {}, StatusNormal);
        const QString toei = QStringLiteral("odpt.Operator:Toei");
        row("missing line, an answer of another operator only",
            {R"({"odpt:operator":"odpt.Operator:TokyoMetro","odpt:railway":)"
             R"("odpt.Railway:TokyoMetro.Ginza","odpt:trainInformationStatus":"遅延"})"},
            StatusConnectFailed, feedtext::OtherOperatorsOnly.arg(toei));
        row("missing line, the address asks another operator (a typo)", {}, StatusConnectFailed,
            feedtext::OtherOperatorAsked.arg(Asakusa, toei), "平常", {},
            "https://api-public.odpt.org/api/v4/odpt:TrainInformation?odpt:operator=Tooei");
        // A server that keeps the day's history lists the older records of a line too.
        auto at = [&](const char* time, const QByteArray& fields) {
            return odptRecord(a, R"(,"dc:date":"2026-12-08T)" + QByteArray(time) + R"(:00+09:00")" +
                                     fields);
        };
        row("history: the newest record decides, an older delay superseded",
            {at("07:10", delayed), at("07:50", normalText)}, StatusNormal);
        row("history over hours: only the newest record's age counts",
            {at("05:00", delayed), at("07:58", R"(,"odpt:trainInformationStatus":"遅延",)"
                                               R"("odpt:trainInformationText":"信号故障")")},
            StatusDelayed, QStringLiteral("遅延：信号故障"));
        const QByteArray notice = R"(,"odpt:trainInformationStatus":"お知らせ",)"
                                  R"("odpt:trainInformationText":"4月1日から駅ナンバリング")";
        const QString told = QStringLiteral("お知らせ：4月1日から駅ナンバリング");
        row("notice: the line runs normally", {odptRecord(a, notice)}, StatusNormal, {}, "平常",
            told);
        row("a delay and a notice: the delay leads",
            {odptRecord(a, notice), odptRecord(a, delayed)}, StatusDelayed,
            accident + QStringLiteral(" / ") + told, "平常", told);
        row("several records, one delayed",
            {odptRecord(a, normalText), odptRecord(a, delayed), odptRecord("x", delayed)},
            StatusDelayed, accident);
        row("several records, the same text once", {odptRecord(a, delayed), odptRecord(a, delayed)},
            StatusDelayed, accident);
        row("several records, their texts joined",
            {odptRecord(a, delayed),
             odptRecord(a, R"(,"odpt:trainInformationStatus":"運転見合わせ",)"
                           R"("odpt:trainInformationText":"押上～泉岳寺間")")},
            StatusDelayed, accident + QStringLiteral(" / 運転見合わせ：押上～泉岳寺間"));
        row("a text that starts with its state: the state not repeated",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":"運転見合わせ",)"
                           R"("odpt:trainInformationText":"運転見合わせ（押上～泉岳寺間）")"),
             odptRecord(a, delayed)},
            StatusDelayed, QStringLiteral("運転見合わせ（押上～泉岳寺間） / ") + accident);
        row("other line delayed",
            {odptRecord("odpt.Railway:Toei.Mita", delayed), odptRecord(a, normalText)},
            StatusNormal);
        row("language map without ja: en",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":{"ko":"정상","en":"Delay"},)"
                           R"("odpt:trainInformationText":{"ja-Hrkt":"ちえん","en":"Late"})")},
            StatusDelayed, QStringLiteral("Delay：Late"));
        row("language map without ja or en: the first",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":{"zh-Hans":"延误"},)"
                           R"("odpt:trainInformationText":{"zh-Hant":"b","ko":"a"})")},
            StatusDelayed, QStringLiteral("延误：a"));
        row("plain strings",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":"遅延",)"
                           R"("odpt:trainInformationText":"信号故障のため\n遅れています")")},
            StatusDelayed, QStringLiteral("遅延：信号故障のため\n遅れています"));
        row("delayed without a text: the state alone",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":"遅延")")}, StatusDelayed,
            QStringLiteral("遅延"));
        row("no match word: any status tells",
            {odptRecord(a, R"(,"odpt:trainInformationStatus":"運転見合わせ")")}, StatusDelayed,
            QStringLiteral("運転見合わせ"), "");
        // Checked at 08:00 in Tokyo.
        row("valid until over an hour ago, though made just now",
            {odptRecord(a, R"(,"dct:valid":"2026-12-07T21:55:00Z",)"
                           R"("dc:date":"2026-12-08T07:59:00+09:00")" +
                               delayed)},
            StatusConnectFailed, QStringLiteral("情報が古い（dct:valid 06:55まで）"));
        row("made yesterday, no valid until",
            {odptRecord(a, R"(,"dc:date":"2026-12-07T23:00:00+09:00")" + normalText)},
            StatusConnectFailed, QStringLiteral("情報が古い（dc:date 2026-12-07 23:00時点）"));
    }

    void odpt()
    {
        QFETCH(QByteArrayList, records);
        QFETCH(QString, word);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(QString, address);
        const QByteArray body = '[' + records.join(',') + ']';
        const Verdict verdict = decideFeed(body, Asakusa, word, tokyoNow(), QUrl(address));
        expect(verdict, status, reason);
        QTEST(verdict.notice, "notice");
    }

    // GTFS-Realtime: alerts for the route in force that tell a delay, by their effect, severity
    // or header; the others are notices.
    void gtfsRealtime_data()
    {
        QTest::addColumn<QList<FeedAlert>>("alerts");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("notice");
        const QString r = QStringLiteral("JY");
        const QList<FeedTranslation> stopped{
            {QStringLiteral("運転見合わせ"), QStringLiteral("ja")}};
        // The alerts below are NO_SERVICE unless said otherwise.
        const QString text = QStringLiteral("運休：") + stopped[0].text;
        auto alert = [&](QList<FeedPeriod> periods = {},
                         std::optional<gtfsrt::Alert::Effect> effect = Effect::NO_SERVICE) {
            return FeedAlert{r, {}, effect, periods, stopped, {}, false};
        };
        auto row = [&](const char* name, const QList<FeedAlert>& alerts, const QString& reason,
                       const QString& notice = {}) {
            QTest::newRow(name) << alerts << int(reason.isNull() ? StatusNormal : StatusDelayed)
                                << reason << notice;
        };
        const QString noticed = QStringLiteral("お知らせ：") + stopped[0].text;
        row("no alert", {}, {});
        row("no period", {alert()}, text);
        row("period over", {alert({{Now - 2 * Hour, Now - Hour}})}, {});
        row("period later", {alert({{Now + Hour, Now + 2 * Hour}})}, {});
        row("period now", {alert({{Now - Hour, Now + Hour}})}, text);
        row("period starting now", {alert({{Now, Now + Hour}})}, text);
        row("period ending now", {alert({{Now - Hour, Now}})}, {});
        row("open end", {alert({{Now - Hour, {}}})}, text);
        row("open start", {alert({{{}, Now + Hour}})}, text);
        row("second period now", {alert({{Now - 3 * Hour, Now - 2 * Hour}, {Now, {}}})}, text);
        FeedAlert deleted = alert();
        deleted.deleted = true;
        row("deleted", {deleted}, {});
        FeedAlert other = alert();
        other.routeId = QStringLiteral("JK");
        row("other route", {other}, {});
        row("accessibility only", {alert({}, Effect::ACCESSIBILITY_ISSUE)}, {}, noticed);
        row("no effect", {alert({}, Effect::NO_EFFECT)}, {}, noticed);
        row("additional service", {alert({}, Effect::ADDITIONAL_SERVICE)}, {}, noticed);
        auto said = [&](std::optional<gtfsrt::Alert::Effect> effect, const QString& header,
                        std::optional<gtfsrt::Alert::SeverityLevel> severity = {},
                        const char* language = "ja") {
            FeedAlert a = alert({}, effect);
            a.header = {{header, QString::fromLatin1(language)}};
            a.severity = severity;
            return a;
        };
        const QString lift = QStringLiteral("エレベーター停止");
        const QString liftNotice = QStringLiteral("お知らせ：") + lift;
        row("stop moved: a notice", {said(Effect::STOP_MOVED, lift)}, {},
            QStringLiteral("乗り場変更：") + lift);
        row("other effect, no delay in the header: a notice", {said(Effect::OTHER_EFFECT, lift)},
            {}, liftNotice);
        row("other effect, a delay in an English header; the delay leads",
            {said(Effect::ACCESSIBILITY_ISSUE, lift),
             said(Effect::OTHER_EFFECT, QStringLiteral("Red Line delay"), {}, "en")},
            QStringLiteral("Red Line delay / ") + liftNotice, liftNotice);
        const QString uneven = QStringLiteral("ダイヤが乱れています");
        row("severity over the header's words",
            {said(Effect::UNKNOWN_EFFECT, uneven, Effect::INFO), said({}, lift, Effect::SEVERE)},
            lift + QStringLiteral(" / お知らせ：") + uneven, QStringLiteral("お知らせ：") + uneven);
        row("unset effect: no state", {alert({}, std::nullopt)}, stopped[0].text);
        row("significant delays", {alert({}, Effect::SIGNIFICANT_DELAYS)},
            QStringLiteral("大幅な遅れ：") + stopped[0].text);
        FeedAlert trip = other;
        trip.tripRouteId = r;
        row("trip selector", {trip}, text);
        auto texts = [&](const QList<FeedTranslation>& header,
                         const QList<FeedTranslation>& description = {}) {
            FeedAlert a = alert();
            a.header = header;
            a.description = description;
            return a;
        };
        const FeedTranslation en{QStringLiteral("Suspended"), QStringLiteral("en")};
        row("untagged translation", {texts({en, {QStringLiteral("見合わせ"), std::nullopt}})},
            QStringLiteral("運休：見合わせ"));
        row("ja translation", {texts({en, {QStringLiteral("見合わせ"), std::nullopt}, stopped[0]})},
            text);
        row("first translation", {texts({en, {QStringLiteral("Suspendu"), QStringLiteral("fr")}})},
            QStringLiteral("運休：") + en.text);
        const FeedTranslation why{QStringLiteral("品川駅での人身事故のため"), QStringLiteral("ja")};
        row("description adds", {texts(stopped, {why})}, text + u' ' + why.text);
        row("description repeats the header", {texts(stopped, stopped)}, text);
        row("description only", {texts({}, {why})}, QStringLiteral("運休：") + why.text);
        row("no text: the state alone", {texts({})}, QStringLiteral("運休"));
        row("several alerts", {texts(stopped), texts({why}), texts(stopped)},
            text + QStringLiteral(" / 運休：") + why.text);
    }

    void gtfsRealtime()
    {
        QFETCH(QList<FeedAlert>, alerts);
        QFETCH(int, status);
        QFETCH(QString, reason);
        const QDateTime now = QDateTime::fromSecsSinceEpoch(Now);
        const Verdict verdict =
            decideFeed(alertsFeed(alerts, Now), QStringLiteral("JY"), Word, now, QUrl());
        expect(verdict, status, reason);
        QTEST(verdict.notice, "notice");
    }

    // A line found in the shipped list by its name, its operator or its id, in kanji, kana or
    // romaji however written.
    void lineSearch_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("found"); // the ids' last parts
        auto row = [](const char* name, const char* query, const QStringList& found) {
            QTest::newRow(name) << QString::fromUtf8(query) << found;
        };
        row("kanji", "銀座", {"Ginza"});
        row("Latin, any case", "GINZA", {"Ginza"});
        row("hiragana", "ぎんざ", {"Ginza"});
        row("half-width katakana", "ｷﾞﾝｻﾞ", {"Ginza"});
        row("kana with 線", "ぎんざせん", {"Ginza"});
        row("long vowel written out", "とうざい", {"Tozai"});
        row("n before b", "なんぼく", {"Namboku"});
        row("small kana", "じょうばん", {"JobanRapid", "JobanLocal"});
        row("from a word's start only", "おうめ", {"Ome"});
        row("a word inside an id", "しんじゅく", {"Shinjuku", "ShonanShinjuku", "Shinjuku"});
        row("the operator's name", "都営",
            {"Asakusa", "Mita", "Shinjuku", "Oedo", "NipporiToneri", "Arakawa"});
        row("none", "かしま", {});
    }

    void lineSearch()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, found);
        QStringList names;
        for (const OdptLine& line : findOdptLines(shippedOdptLines(), query))
            names << line.id.section(u'.', -1);
        QCOMPARE(names, found);
    }

    // Bodies that are no feed, or broken ones, fail; a feed of either kind in an odd dress reads.
    void bodies_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        FeedAlert delay{Asakusa, {}, {}, {}, {{QStringLiteral("遅延"), {}}}, {}, false};
        const QByteArray feed = alertsFeed({delay}, Now);
        const QByteArray json = '[' + odptRecord("odpt.Railway:Toei.Asakusa", "") + ']';
        auto row = [&](const char* name, const QByteArray& body, int status = StatusConnectFailed,
                       const QString& reason = feedtext::UnknownKind) {
            QTest::newRow(name) << body << Asakusa << status << reason;
        };
        row("empty body", {});
        row("HTML page", "<!DOCTYPE html><html><body>404 Not Found</body></html>");
        row("JSON object (an error reply)", R"({"title":"Unauthorized"})");
        row("truncated JSON array", json.chopped(3), StatusConnectFailed, feedtext::BrokenJson);
        row("truncated FeedMessage", feed.chopped(5));
        // The header is a required field: without it the bytes are something else.
        row("FeedMessage without its header", feed.sliced(feed.indexOf("\x12")));
        row("JSON array behind a byte-order mark", "\xEF\xBB\xBF " + json, StatusNormal, {});
        row("newer fields skipped",
            feed + QByteArray("\xC2\x3E\x03"
                              "abc",
                              6),
            StatusDelayed, QStringLiteral("遅延"));
        QTest::newRow("blank line id")
            << json << QStringLiteral(" ") << int(StatusConnectFailed) << feedtext::NoLine;

        // A header of 91 bytes makes a FeedMessage begin with "\n[", as a JSON array may.
        gtfsrt::FeedMessage message;
        message.mutable_header()->set_gtfs_realtime_version(std::string(89, '2'));
        const std::string bytes = message.SerializeAsString();
        row("FeedMessage that begins like a JSON array", QByteArray::fromStdString(bytes),
            StatusNormal, {});

        row("feed made two hours ago", alertsFeed({delay}, Now - 2 * Hour), StatusConnectFailed,
            QStringLiteral("情報が古い（timestamp 06:00時点）"));
        // Unread, such an alert could be the line's.
        gtfsrt::FeedMessage crowded;
        crowded.ParseFromArray(feed.constData(), int(feed.size()));
        for (int i = 0; i < MaxAlertSelectors; ++i)
            crowded.mutable_entity(0)->mutable_alert()->add_informed_entity();
        row("alert with too many selectors", QByteArray::fromStdString(crowded.SerializeAsString()),
            StatusConnectFailed, feedtext::AlertTooLarge);
        delay.description = {{QString(MaxEntityBytes, u'x'), {}}};
        row("alert over the size bound", alertsFeed({delay}, Now), StatusConnectFailed,
            feedtext::AlertTooLarge);
        const QString tooLarge =
            QStringLiteral("フィードのJSONが大きすぎます（2 MiB、配列とオブジェクト50000個まで）");
        row("JSON array over 2 MiB", json.chopped(1) + QByteArray(",0").repeated(1 << 20) + ']',
            StatusConnectFailed, tooLarge);
        row("JSON array of too many arrays",
            json.chopped(1) + QByteArray(",[]").repeated(50000) + ']', StatusConnectFailed,
            tooLarge);
    }

    void bodies()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, reason);
        expect(decideFeed(body, line, Word, tokyoNow(), QUrl()), status, reason);
    }
};

QTEST_GUILESS_MAIN(TestFeed)
#include "tst_feed.moc"
