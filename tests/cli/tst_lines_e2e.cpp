// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan-check --lines and --use-line end to end against a stand-in of the ODPT API on
// loopback: the live list, the shipped one when the API is out of reach or refuses, a route made
// from a line that then reads its delay and reason, every other value of the folder kept, the
// folder refused while the desktop program holds it; the consumer key nowhere but in [ODPT].
#include "platform/FolderLock.h"
#include "settings/CompanionSettings.h"
#include "settings/SettingsFile.h"
#include "support/Files.h"
#include "support/OdptStandIn.h"
#include "support/ProcessRun.h"
#include "support/ReadOnlyMount.h"
#include "support/SettingsWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace senrokan;
using test::OdptStandIn;

namespace
{

const QString Hanamichi = QStringLiteral("odpt.Railway:Sakura.Hanamichi");
// Written by hand around what a run sets; "yes" is kept as it was written.
const QByteArray HandWritten = "; 手書きのメモ\n[Notify]\nTargets=json://127.0.0.1:9/hook\n"
                               "[Route1]\nDays=月火水木金\n[Route2]\nConfirm=2\nHolidays=yes\n";
// Lines written by hand after the 50 of Senrokan.DEF, in its coding.
const QByteArray HandWrittenTail = "; \x8E\xE8\x8F\x91\x82\xAB\r\nnote 2\r\n";

} // namespace

class TestLinesEndToEnd : public QObject
{
    Q_OBJECT
    OdptStandIn m_api;
    QTemporaryDir m_runtime;

    test::ProcessResult
    run(const QString& folder, const QStringList& args,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        test::ProcessOptions options;
        options.environment = environment;
        options.workingDirectory = folder;
        return test::runProcess(QStringLiteral(SENROKAN_CHECK_EXE), args, options);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The desktop program's lock is looked for in a private runtime folder of this run.
        QVERIFY(QFile::setPermissions(m_runtime.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        QVERIFY2(m_api.start(), qPrintable(m_api.error()));
    }

    void lines_data()
    {
        QTest::addColumn<QString>("base"); // [ODPT] Base=
        QTest::addColumn<bool>("key");     // [ODPT] ConsumerKey= set
        QTest::addColumn<bool>("before");  // a Senrokan.DEF and hand-written lines are there
        QTest::addColumn<int>("held"); // by the desktop program (1), Senrokan.ini unwritable (2)
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out");    // in stdout; empty: stdout is empty
        QTest::addColumn<QString>("absent"); // not in stdout
        QTest::addColumn<QString>("told");   // in stderr; empty: stderr is empty
        QTest::addColumn<QString>("title");  // of the route made; empty: the folder is unchanged
        QTest::addColumn<int>("status");     // of that route in a check that follows
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("elsewhere"); // run with another $HOME and $XDG_RUNTIME_DIR
        const QString api = m_api.base();
        const QString dead = QStringLiteral("http://127.0.0.1:1/api/v4/");
        const QStringList use = {"--use-line", "2", Hanamichi};
        auto row = [](const char* name, const QString& base, bool key, bool before, int held,
                      const QStringList& args, int exit, const QString& out, const QString& absent,
                      const QString& told, const QString& title = {}, int status = 0,
                      const QString& reason = {}, bool elsewhere = false) {
            QTest::newRow(name) << base << key << before << held << args << exit << out << absent
                                << told << title << status << reason << elsewhere;
        };
        row("live list", api, true, false, false, {"--lines"}, 0,
            "odpt.Railway:Sakura.Kawabata\tさくら電鉄\t川端線\n", "TokyoMetro", "");
        row("shipped list of an operator, API out of reach", dead, true, false, false,
            {"--lines", "Toei"}, 0, "odpt.Railway:Toei.Asakusa\t都営地下鉄\t浅草線\n", "TokyoMetro",
            "ODPTのAPIに届きません");
        row("shipped list, API refuses without the key", api, false, false, false, {"--lines"}, 0,
            "odpt.Railway:TokyoMetro.Ginza\t東京メトロ\t銀座線\n", "Sakura",
            "ODPTのAPIが断りました（HTTP 403）");
        // The feed's state leads its reason.
        const QString told = QStringLiteral("運転見合わせ：") + OdptStandIn::Reason;
        row("route made in an empty folder", api, true, false, false, use, 0,
            "路線2: 花道線（さくら電鉄 odpt.Railway:Sakura.Hanamichi）\n", "", "", "花道線", 1,
            told);
        row("every other value kept", api, true, true, false, use, 0, "路線2: 花道線", "", "",
            "花道線", 1, told);
        row("an id no list knows", api, true, false, false,
            {"--use-line", "1", "odpt.Railway:Sakura.Nowhere"}, 0, "路線1: Nowhere（さくら電鉄", "",
            "どの路線一覧にもありません", "Nowhere", 2);
        row("refused while the program holds the folder", api, true, true, 1, use, 3, "", "",
            "Senrokan がこのフォルダ");
        // Senrokan.ini is the user's link into a folder that cannot be written.
        row("refused when Senrokan.ini cannot be written", api, true, true, 2, use, 3, "", "",
            "Senrokan.ini に書き込めません");
        row("refused while the program holds the folder, whatever the environment says", api, true,
            true, true, use, 3, "", "", "Senrokan がこのフォルダ", {}, 0, {}, true);
        // Parsed whole, 16 MiB of tiny arrays took some 740 MB.
        const QByteArray flood = '[' + QByteArray("[0],").repeated(4 * 1024 * 1024 - 1024) + "[0]]";
        row("a list of tiny arrays within the reply cap: the shipped one",
            m_api.serve("flood", flood), false, false, false, {"--lines", "Toei"}, 0,
            "odpt.Railway:Toei.Asakusa\t都営地下鉄\t浅草線\n", "",
            "odpt:Railway の答えが大きすぎます");
        row("an empty list: said so", m_api.serve("empty", "[]"), false, false, false, {"--lines"},
            0, "", "", "路線一覧に路線がありません");
        // Controls, bidi controls and line separators from the API, folded as reasons are.
        const auto line = [](const char* id, const char* title) {
            return QJsonObject{{"owl:sameAs", id},
                               {"odpt:operator", "odpt.Operator:Evil"},
                               {"odpt:railwayTitle", QJsonObject{{"ja", title}}}};
        };
        const QJsonObject evil{{"owl:sameAs", "odpt.Operator:Evil"},
                               {"odpt:operatorTitle", "悪\u0085鉄"}};
        const QString hostile =
            m_api.serve("hostile",
                        QJsonDocument(QJsonArray{line("odpt.Railway:Evil.Line",
                                                      "\u202e悪\u2066意\u2069\a\x1b[31m線"),
                                                 line("odpt.Railway:Evil.Other\u2028", "")})
                            .toJson(),
                        QJsonDocument(QJsonArray{evil}).toJson());
        row("titles, operators and ids folded as printed", hostile, false, false, false,
            {"--lines"}, 0,
            "odpt.Railway:Evil.Line\t悪 鉄\t悪 意 [31m線\nodpt.Railway:Evil.Other\t悪 鉄\tOther\n",
            "", "");
        row("a title folded as stored", hostile, false, false, false,
            {"--use-line", "1", "odpt.Railway:Evil.Line"}, 0,
            "路線1: 悪 意 [31m線（悪 鉄 odpt.Railway:Evil.Line）\n", "", "", "悪 意 [31m線", 2);
        // The client would quote such an address whole in its complaint, key and all.
        const QString hostless = QString(api).remove(QStringLiteral("//"));
        row("a Base= without scheme://host: no request", hostless, true, false, false, {"--lines"},
            0, "odpt.Railway:TokyoMetro.Ginza", "", "[ODPT] Base=");
        row("a Base= without scheme://host: no route made", hostless, true, true, false, use, 3, "",
            "", "[ODPT] Base=");
    }

    void lines()
    {
        QFETCH(QString, base);
        QFETCH(bool, key);
        QFETCH(bool, before);
        QFETCH(int, held);
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, out);
        QFETCH(QString, absent);
        QFETCH(QString, told);
        QFETCH(QString, title);
        QFETCH(int, status);
        QFETCH(QString, reason);
        QFETCH(bool, elsewhere);
        QTemporaryDir folder;
        const QByteArray secret = OdptStandIn::ConsumerKey.toUtf8();
        QByteArray ini = "[ODPT]\nBase=" + base.toUtf8() + '\n';
        if (key)
            ini += "ConsumerKey=" + secret + '\n';
        if (before) {
            ini += HandWritten;
            test::writeSettings(folder.filePath(SettingsFileName), {60, 1, 0, 1},
                                {{"山手線", "www.example.jp", "jy.html", "平常"},
                                 {"旧二号", "www.example.jp", "two.html", "平常運転", "late.html"},
                                 {},
                                 {"東西線", "", "", "", "", "6:00", "23:30", "東西", "千代田"}});
            QFile def(folder.filePath(SettingsFileName));
            QVERIFY(def.open(QIODevice::Append) && def.write(HandWrittenTail) > 0);
        }
        test::ReadOnlyMount readOnly;
        if (held == 2) {
            QVERIFY2(readOnly.isMounted(), "cannot mount a tmpfs");
            test::writeBytes(readOnly.filePath(CompanionFileName), ini);
            QVERIFY(readOnly.setReadOnly(true));
            QVERIFY(QFile::link(readOnly.filePath(CompanionFileName),
                                folder.filePath(CompanionFileName)));
        } else {
            test::writeBytes(folder.filePath(CompanionFileName), ini);
        }
        const SettingsRead old = readSettings(folder.path());
        const test::Files files = test::filesIn(folder.path());
        platform::FolderLock lock(folder.path());
        if (held == 1)
            QCOMPARE(lock.tryHold(), platform::FolderLock::Outcome::Held);

        // Another session's: a private runtime folder of its own, as Qt wants it.
        QTemporaryDir otherHome;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (elsewhere) {
            environment.insert("HOME", otherHome.path());
            environment.insert("XDG_RUNTIME_DIR", otherHome.path());
        }
        const test::ProcessResult result = run(folder.path(), args, environment);
        QCOMPARE(result.exitCode, exit);
        const QString shownOut = QString::fromUtf8(result.out);
        QVERIFY2(out.isEmpty() ? shownOut.isEmpty() : shownOut.contains(out), result.out.data());
        QVERIFY2(absent.isEmpty() || !shownOut.contains(absent), result.out.data());
        QVERIFY2(told.isEmpty() ? result.err.isEmpty()
                                : QString::fromUtf8(result.err).contains(told),
                 result.err.data());
        QByteArray shown = result.out + result.err;
        if (title.isEmpty()) {
            QCOMPARE(test::filesIn(folder.path()), files);
        } else {
            // The route is the line; every other value of both files stays.
            const int route = args.at(1).toInt();
            RouteBlocks expected = old.complete ? old.routes : RouteBlocks();
            expected[route - 1][0] = title;
            if (expected[route - 1][3].isEmpty())
                expected[route - 1][3] = QStringLiteral("平常");
            const SettingsRead now = readSettings(folder.path());
            QVERIFY(now.complete);
            QCOMPARE(now.routes, expected);
            const decltype(old.numbers) fresh = {30, 0, 0, 0};
            QCOMPARE(now.numbers, old.complete ? old.numbers : fresh);
            QVERIFY(!before ||
                    test::readBytes(folder.filePath(SettingsFileName)).endsWith(HandWrittenTail));
            const QByteArray saved = test::readBytes(folder.filePath(CompanionFileName));
            for (const QByteArray& line : ini.split('\n'))
                QVERIFY2(saved.contains(line + '\n'), line.constData());

            // A check of the route made reads its feed, the key added on the way.
            const test::ProcessResult check =
                run(folder.path(), {"--json", "--verbose", "--route", QString::number(route)});
            const QJsonObject state =
                QJsonDocument::fromJson(check.out).array().at(route - 1).toObject();
            QCOMPARE(state["title"].toString(), title);
            QCOMPARE(state["status"].toInt(), status);
            QCOMPARE(state["reason"].toString(), reason);
            shown += check.out + check.err;
        }
        // The key is in [ODPT] alone: not in what was shown, in Feed=, or in any other file.
        QVERIFY2(!shown.contains(secret), shown.constData());
        test::Files now = test::filesIn(folder.path());
        now[CompanionFileName].replace("ConsumerKey=" + secret, "");
        for (auto it = now.cbegin(); it != now.cend(); ++it)
            QVERIFY2(!it.value().contains(secret), qPrintable(it.key()));
    }
};

QTEST_GUILESS_MAIN(TestLinesEndToEnd)

#include "tst_lines_e2e.moc"
