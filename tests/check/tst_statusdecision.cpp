// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Valid hours, the forms a time of day is written in, the verdict on a page's text and the reason
// it gives, and the fold that makes any reason fit to show.
#include "base/Failure.h"
#include "calendar/TimeWindow.h"
#include "check/StatusDecision.h"
#include "route/Reason.h"

#include <QTest>

using namespace senrokan;

class TestStatusDecision : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void window_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<int>("inside");
        const QString s22 = QStringLiteral("22:00"), s6 = QStringLiteral("6:00");
        QTest::newRow("past midnight 23:30") << s22 << s6 << QTime(23, 30) << 1;
        QTest::newRow("past midnight 5:59") << s22 << s6 << QTime(5, 59) << 1;
        QTest::newRow("past midnight 6:00") << s22 << s6 << QTime(6, 0) << 1;
        QTest::newRow("past midnight 6:01") << s22 << s6 << QTime(6, 1) << -1;
        QTest::newRow("past midnight 12:00") << s22 << s6 << QTime(12, 0) << -1;
        QTest::newRow("past midnight 22:00") << s22 << s6 << QTime(22, 0) << 1;
        QTest::newRow("day 5:59") << s6 << s22 << QTime(5, 59) << -1;
        QTest::newRow("day 6:00") << s6 << s22 << QTime(6, 0) << 1;
        QTest::newRow("day 22:00") << s6 << s22 << QTime(22, 0) << 1;
        QTest::newRow("day 22:01") << s6 << s22 << QTime(22, 1) << -1;
        QTest::newRow("day 22:00:59 still 22:00") << s6 << s22 << QTime(22, 0, 59) << 1;
        const QString a = QStringLiteral("22:30"), b = QStringLiteral("22:10");
        QTest::newRow("same hour, end before start: 22:20") << a << b << QTime(22, 20) << -1;
        QTest::newRow("same hour, end before start: 22:40") << a << b << QTime(22, 40) << -1;
        QTest::newRow("same hour, end before start: 3:00") << a << b << QTime(3, 0) << -1;
        const QString m = QStringLiteral("7:15");
        QTest::newRow("one-minute window, inside") << m << m << QTime(7, 15, 30) << 1;
        QTest::newRow("one-minute window, before") << m << m << QTime(7, 14) << -1;
        QTest::newRow("one-minute window, after") << m << m << QTime(7, 16) << -1;
    }

    void window()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QTime, now);
        QFETCH(int, inside);
        QCOMPARE(InTimeWindow(from, to, now), inside);
    }

    void forms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("time");
        QTest::newRow("H:MM") << QStringLiteral("6:30") << QTime(6, 30);
        QTest::newRow("HH:MM") << QStringLiteral("06:30") << QTime(6, 30);
        QTest::newRow("with seconds") << QStringLiteral("06:30:15") << QTime(6, 30, 15);
        QTest::newRow("blanks around") << QStringLiteral(" 6:30 ") << QTime(6, 30);
        QTest::newRow("full-width") << QStringLiteral("２２：１０") << QTime(22, 10);
        QTest::newRow("PM after") << QStringLiteral("3:05 PM") << QTime(15, 5);
        QTest::newRow("am before") << QStringLiteral("am 12:05") << QTime(0, 5);
        QTest::newRow("午後") << QStringLiteral("午後10:00") << QTime(22, 0);
        QTest::newRow("午前 12 is midnight") << QStringLiteral("午前12:00") << QTime(0, 0);
    }

    void forms()
    {
        QFETCH(QString, text);
        QFETCH(QTime, time);
        QCOMPARE(parseTimeOfDay(text), time);
    }

    void badForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("word") << QStringLiteral("朝");
        QTest::newRow("hour 24") << QStringLiteral("24:00");
        QTest::newRow("minute 60") << QStringLiteral("6:60");
        QTest::newRow("one-digit minute") << QStringLiteral("6:5");
        QTest::newRow("no minutes") << QStringLiteral("6");
        QTest::newRow("13 PM") << QStringLiteral("13:00 PM");
        QTest::newRow("both markers") << QStringLiteral("午前6:00PM");
        QTest::newRow("blank") << QStringLiteral(" ");
    }

    void badForms()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(Failure, parseTimeOfDay(text));
    }

    // The verdict on a page: valid hours first, then the word, within the section when set; a
    // delay found with both markers on the page says why in the section's text.
    void decision_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<PageForm>("form");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        const QString page =
            QStringLiteral("東海道線 平常運転 山手線 遅延 京浜東北線 平常運転です");
        auto row = [&](const char* name, int status, const char* word, const char* start = "",
                       const char* end = "", const char* from = "", const char* to = "",
                       const QString& text = {}, const char* reason = "",
                       PageForm form = PageForm::Source) {
            QTest::newRow(name) << (text.isEmpty() ? page : text) << QString::fromUtf8(word)
                                << QString::fromUtf8(start) << QString::fromUtf8(end)
                                << QString::fromUtf8(from) << QString::fromUtf8(to) << form
                                << status << QString::fromUtf8(reason);
        };
        row("word anywhere", 0, "遅延");
        row("word absent", 1, "運休");
        row("empty word, non-empty page", 0, "");
        row("word inside the section", 0, "遅延", "山手線", "京浜東北線");
        row("word only before the section", 1, "平常運転", "山手線", "京浜東北線", "", "", {},
            "遅延");
        row("word starts where the end starts", 0, "京浜", "山手線", "京浜東北線");
        row("end missing after start", 1, "遅延", "山手線", "中央線");
        const char* noSection = "サブタイトル「中央線」がページにありません";
        row("start missing: failed, naming it", 2, "遅延", "中央線", "", "", "", {}, noSection);
        row("start missing, end on the page", 2, "遅延", "中央線", "遅延", "", "", {}, noSection);
        row("no end: section runs to the end", 0, "平常運転です", "山手線");
        row("section start in kana of other type", 0, "遅延", "やまのて", "", "", "",
            QStringLiteral("ﾔﾏﾉﾃ 遅延"));
        row("outside hours wins over the word", 4, "遅延", "", "", "6:00", "9:00");
        row("only valid-from set: no hours test", 0, "遅延", "", "", "6:00");
        row("unreadable valid-from: no hours test", 0, "遅延", "", "", "7時", "9:00");
        row("inside hours", 0, "遅延", "", "", "12:00", "13:00");
        row("reason: tags, a comment and a script go, references read", 1, "平常", "山手線",
            "京浜東北線", "", "",
            QStringLiteral(
                "<tr><th>山手線</th><td class=\"s\">運転見合わせ<!-- 更新 --><script>if (a<b) x();"
                "</script></td>\n<td>人身事故&amp;点検&#x3002;&copy;</td></tr><tr><th>京浜東北線"),
            "運転見合わせ 人身事故&点検。&copy;");
        row("reason: markers inside tags, the cut tags go", 1, "平常", "山手線", "京浜東北線", "",
            "",
            QStringLiteral("<li data-line=\"山手線\" class=\"x\">遅延しています</li>"
                           "<li data-line=\"京浜東北線\">"),
            "遅延しています");
        row("reason: a marker ending in a half-width voiced kana", 1, "平常", "がいせんだ", "京浜",
            "", "", QStringLiteral("ｶﾞｲｾﾝﾀﾞ 遅延 京浜"), "遅延");
        row("reason: text as the browser shows it keeps its brackets", 1, "平常", "山手線",
            "京浜東北線", "", "", QStringLiteral("山手線 a<b>c &amp; 京浜東北線"), "a<b>c &amp;",
            PageForm::Shown);
    }

    void decision()
    {
        QFETCH(QString, page);
        QFETCH(QString, word);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(PageForm, form);
        QFETCH(int, status);
        RouteDefinition route;
        route[MatchWord] = word;
        route[SubtitleStart] = start;
        route[SubtitleEnd] = end;
        route[ValidFrom] = from;
        route[ValidTo] = to;
        const Verdict verdict = decideStatus(route, page, QTime(12, 30), form);
        QCOMPARE(int(verdict.status), status);
        // A failure says what was wrong in a field of its own.
        QTEST(status == StatusConnectFailed ? verdict.failure : verdict.reason, "reason");
    }

    // What any reason, from a page or a feed, becomes before it is shown: at most
    // MaxReasonLength characters, its lines kept; and how it reads where it has one line.
    void foldReason_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::addColumn<bool>("oneLine"); // folded as the status field shows it
        QTest::newRow("blank lines and blanks around breaks: one break; other blanks one blank")
            << QStringLiteral("\r\n 人身事故の影響で\t\t遅れ \r\n\r\n　ています  ")
            << QStringLiteral("人身事故の影響で 遅れ\nています") << false;
        QTest::newRow("control and format characters: blanks; NEL and line separator: breaks")
            << QStringLiteral("A\x1b]0;x\x07"
                              "B\u0085C\u2028D\u202Eevil\u200BE")
            << QStringLiteral("A ]0;x B\nC\nD evil E") << false;
        QTest::newRow("on one line: breaks as slashes")
            << QStringLiteral("運転見合わせ\n\n人身事故の影響で\r\n再開見込み 10時頃")
            << QStringLiteral("運転見合わせ / 人身事故の影響で / 再開見込み 10時頃") << true;
        QTest::newRow("exactly the bound: kept whole")
            << QString(MaxReasonLength, u'あ') << QString(MaxReasonLength, u'あ') << false;
        QTest::newRow("one over the bound: cut with an ellipsis")
            << QString(MaxReasonLength + 1, u'あ') << QString(MaxReasonLength - 1, u'あ') + u'…'
            << false;
        const QString pair = QStringLiteral("\U0001F683"); // two UTF-16 units
        QTest::newRow("a cut never splits a surrogate pair")
            << QString(MaxReasonLength - 2, u'あ') + pair + pair
            << QString(MaxReasonLength - 2, u'あ') + u'…' << false;
        // In UTF-8 (the record, a report) half a pair would take its neighbour with it.
        QTest::newRow("half a surrogate pair: U+FFFD")
            << u'A' + QChar(0xD800) + u'B' + QChar(0xDC00) + pair
            << QStringLiteral("A\uFFFDB\uFFFD") + pair << false;
        QTest::newRow("format characters beyond U+FFFF: blanks")
            << QStringLiteral("A\U000E0001\U000E0041\U000E0000B\U0001D173C")
            << QStringLiteral("A B C") << false;
    }

    void foldReason()
    {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QFETCH(bool, oneLine);
        const QString result = senrokan::foldReason(text);
        QCOMPARE(oneLine ? reasonOnOneLine(result) : result, folded);
        QVERIFY(result.size() <= MaxReasonLength);
    }
};

QTEST_GUILESS_MAIN(TestStatusDecision)
#include "tst_statusdecision.moc"
