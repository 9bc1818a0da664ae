// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan-check reading routes as the browser shows them, with the real page reader, on pages
// written by scripts that a real nginx serves on port 80 of a loopback address: each read right
// with Render=true and from its bytes as before without it, five pages side by side in one run,
// a page that never yields failing at the limit with nothing left running, and the bytes read
// when the browser package is missing.
#include "check/RouteChecker.h"
#include "settings/CompanionSettings.h"
#include "settings/SettingsFile.h"
#include "support/CheckerJson.h"
#include "support/NginxSite.h"
#include "support/ProcessRun.h"
#include "support/RecordingDisplay.h"
#include "support/ScriptPages.h"
#include "support/SettingsWriter.h"
#include "support/ShortTimings.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <unistd.h>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

const QString Host = QStringLiteral("127.0.5.8");

int expectedStatus(Reading reading)
{
    switch (reading) {
    case Reading::Normal:
        return StatusNormal;
    case Reading::Delayed:
        return StatusDelayed;
    case Reading::Failed:
        break;
    }
    return StatusConnectFailed;
}

} // namespace

class TestRenderedEndToEnd : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    NginxSite m_site{Host, 80};
    QString m_folder; // the pages' folder on the site, as a route's directory names it

    // senrokan-check on routes 1 to 5 showing pages, those in rendered read by the browser.
    // The run's environment carries mark, so that what it leaves running can be found.
    ProcessResult check(const QList<ScriptPage>& pages, bool rendered, const QByteArray& mark,
                        const QString& program = QStringLiteral(SENROKAN_CHECK_EXE))
    {
        QList<QStringList> routes;
        for (const ScriptPage& page : pages)
            routes.append({QString::fromUtf8(page.name), Host,
                           m_folder + QString::fromLatin1(page.path), NormalWord});
        writeSettings(m_dir.filePath(SettingsFileName), SettingsValues(), routes);
        QFile::remove(m_dir.filePath(CompanionFileName));
        RouteOptions choice;
        choice.render = rendered;
        for (int r = 1; r <= pages.size(); ++r)
            if (!CompanionSettings(m_dir.path()).saveRouteOptions(r, choice).done)
                qFatal("cannot write Senrokan.ini");
        ProcessOptions options;
        options.workingDirectory = m_dir.path();
        // The engine's sandbox does not run as root, which the tests are.
        options.environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"),
                                   QStringLiteral("1"));
        const qsizetype eq = mark.indexOf('=');
        options.environment.insert(QString::fromLatin1(mark.left(eq)),
                                   QString::fromLatin1(mark.mid(eq + 1)));
        return runProcess(program, {QStringLiteral("--json"), QStringLiteral("--verbose")},
                          options);
    }

    static QByteArray newMark()
    {
        return "SENROKAN_TEST_RUN=" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (::geteuid() != 0)
            QSKIP("nginx must listen on port 80, which needs root");
        const QString base = serveScriptPages(m_site);
        QVERIFY2(!base.isEmpty(), qPrintable(m_site.error()));
        m_folder = QUrl(base).path().mid(1);
    }

    // Every page, five routes to a run: read right as the browser shows it, and read from its
    // bytes as before when the route is not rendered, where only the word in the bytes counts.
    void pagesReadRight_data()
    {
        QTest::addColumn<int>("first"); // index of the run's first page
        const qsizetype count = scriptPages().size();
        for (qsizetype first = 0; first < count; first += RouteCount)
            QTest::addRow("pages %lld to %lld", first + 1, qMin(count, first + RouteCount))
                << int(first);
    }

    void pagesReadRight()
    {
        QFETCH(int, first);
        const QList<ScriptPage> pages = scriptPages().mid(first, RouteCount);
        QList<int> rendered, bytes;
        for (const ScriptPage& page : pages) {
            rendered << expectedStatus(page.reading);
            bytes << (page.bytes.contains(NormalWord.toUtf8()) ? StatusNormal : StatusDelayed);
        }
        while (rendered.size() < RouteCount) {
            rendered << StatusNoServer;
            bytes << StatusNoServer;
        }

        const QByteArray mark = newMark();
        const ProcessResult asShown = check(pages, true, mark);
        QCOMPARE(checkerStatuses(asShown.out), rendered);
        const QString err = QString::fromUtf8(asShown.err);
        for (int r = 1; r <= pages.size(); ++r) {
            const QRegularExpression line(QStringLiteral("^route %1: rendered in \\d+ ms$").arg(r),
                                          QRegularExpression::MultilineOption);
            // A page that never settles has no text and so no time.
            QCOMPARE(err.contains(line), pages[r - 1].reading != Reading::Failed);
        }
        // Nothing of the engine outlives the run, the page that never yielded included.
        QTRY_COMPARE(markedProcesses(mark), QStringList());
        // The record of checks says who read the page.
        ProcessOptions inFolder;
        inFolder.workingDirectory = m_dir.path();
        const ProcessResult history = runProcess(
            QStringLiteral(SENROKAN_CHECK_EXE),
            {QStringLiteral("--history"), QStringLiteral("--route"), QStringLiteral("1")},
            inFolder);
        const QByteArray last = history.out.trimmed().split('\n').constLast();
        QCOMPARE(last.contains(" browser "), pages.first().reading != Reading::Failed);

        // The same routes not rendered, checked in this process with short waits: as before.
        RouteTable table;
        RecordingDisplay display;
        RouteChecker checker(display);
        checker.setRoutes(table);
        checker.setTimings(shortCheckTimings(80));
        QVERIFY(QFile::remove(m_dir.filePath(CompanionFileName)));
        checker.setRouteOptions(CompanionSettings(m_dir.path()).read().routes);
        QList<int> read;
        for (int r = 1; r <= RouteCount; ++r) {
            if (r <= pages.size()) {
                table.setRouteField(r, ServerName, Host);
                table.setRouteField(r, DirectoryName,
                                    m_folder + QString::fromLatin1(pages[r - 1].path));
                table.setRouteField(r, MatchWord, NormalWord);
            }
            read << checker.PollRoute(r, 0)->after({}).Status;
        }
        QCOMPARE(read, bytes);
    }

    // Without the browser package the route is read from its bytes, and the checker says so.
    void withoutTheEngine()
    {
        const QString alone = m_dir.filePath(QStringLiteral("alone"));
        QVERIFY(QDir().mkpath(alone));
        const QString program = alone + QStringLiteral("/senrokan-check");
        QFile::remove(program);
        QVERIFY(QFile::copy(QStringLiteral(SENROKAN_CHECK_EXE), program));
        const ScriptPage& hidden =
            *std::find_if(scriptPages().begin(), scriptPages().end(),
                          [](const ScriptPage& page) { return page.reading == Reading::Delayed; });
        const ProcessResult run = check({hidden}, true, newMark(), program);
        QCOMPARE(checkerStatuses(run.out).value(0), int(StatusNormal));
        QVERIFY2(run.err.contains("route 1: read from its bytes: 「ブラウザで読む」には "
                                  "senrokan-browser パッケージが必要です"),
                 run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestRenderedEndToEnd)
#include "tst_rendered_e2e.moc"
