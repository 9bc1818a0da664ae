// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The test fixtures for scripts (the Python session tests and the benches), so that they start
// servers, sessions and settings files the way the C++ tests do:
//   senrokan-testenv display [--tray] [--atspi] -- PROGRAM ARGS...
//       runs PROGRAM on an X server of its own with a private session bus; exits with its status
//   senrokan-testenv tray
//   senrokan-testenv serve FOLDER HOST [ACCESS_LOG]
//       trayer on $DISPLAY / nginx serving the files of FOLDER on HOST port 80 (needs root),
//       noting each request in ACCESS_LOG when given; prints "ready" once it is up, and stops
//       when its standard input ends
//   senrokan-testenv scriptpages HOST
//       nginx serving the script-written test pages on HOST port 80 (needs root); prints their
//       base address, then "ready", and stops when its standard input ends
//   senrokan-testenv settings FILE INTERVAL RESIDENT CHIME ATONCE [TITLE SERVER DIRECTORY WORD]...
//       writes a settings file with up to five routes
//   senrokan-testenv alerts FILE
//       writes a big agency's GTFS-Realtime alerts feed (agencyAlertsFeed), in force now
//   senrokan-testenv flood alerts|odpt FILE
//       writes a feed of tiny messages (alertsFlood made now, odptFlood) just within the reply cap
//   senrokan-testenv record FOLDER ROUTE COUNT
//       appends COUNT records of ROUTE to the record of checks in FOLDER, one by one, titled
//       "1" to "COUNT" in order; fails at the first that is not written
#include "AlertsFeed.h"
#include "DisplaySession.h"
#include "HistoryFiles.h"
#include "NginxSite.h"
#include "ScriptPages.h"
#include "SettingsWriter.h"
#include "check/CheckTimings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <iostream>
#include <string>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

int usage()
{
    std::fputs("usage: senrokan-testenv display [--tray] [--atspi] -- PROGRAM ARGS...\n"
               "       senrokan-testenv tray\n"
               "       senrokan-testenv serve FOLDER HOST [ACCESS_LOG]\n"
               "       senrokan-testenv scriptpages HOST\n"
               "       senrokan-testenv settings FILE INTERVAL RESIDENT CHIME ATONCE "
               "[TITLE SERVER DIRECTORY WORD]...\n"
               "       senrokan-testenv alerts FILE\n"
               "       senrokan-testenv flood alerts|odpt FILE\n"
               "       senrokan-testenv record FOLDER ROUTE COUNT\n",
               stderr);
    return 64;
}

int failed(const QString& error)
{
    std::fprintf(stderr, "senrokan-testenv: %s\n", qPrintable(error));
    return 1;
}

// Says it is up, then waits until whoever started it closes its standard input.
int readyUntilInputEnds()
{
    std::puts("ready");
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
    }
    return 0;
}

int display(QStringList args)
{
    int options = 0;
    while (!args.isEmpty() && args.first() != QLatin1String("--")) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--tray"))
            options |= DisplaySession::Tray;
        else if (option == QLatin1String("--atspi"))
            options |= DisplaySession::Accessibility;
        else
            return usage();
    }
    if (args.size() < 2)
        return usage();
    args.removeFirst();
    DisplaySession session(options);
    if (!session.start())
        return failed(session.error());
    QProcessEnvironment environment = session.environment();
    // Scripts reach the other fixtures through this program.
    environment.insert(QStringLiteral("SENROKAN_TESTENV"), QCoreApplication::applicationFilePath());
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.setInputChannelMode(QProcess::ForwardedInputChannel);
    endsWithTest(program);
    program.start(args.takeFirst(), args);
    if (!program.waitForStarted())
        return failed(program.errorString());
    program.waitForFinished(-1);
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : 1;
}

int tray()
{
    TrayHost host;
    if (!host.start(QProcessEnvironment::systemEnvironment()))
        return failed(host.error());
    return readyUntilInputEnds();
}

int serve(const QString& folder, const QString& host, const QString& accessLog)
{
    NginxSite site(host, 80);
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly) || !site.put(QFile::encodeName(name), file.readAll()))
            return failed(QStringLiteral("cannot serve ") + file.fileName());
    }
    if (!site.start(accessLog.isEmpty() ? QString()
                                        : QStringLiteral("access_log %1;").arg(accessLog)))
        return failed(site.error());
    return readyUntilInputEnds();
}

int scriptPages(const QString& host)
{
    NginxSite site(host, 80);
    const QString base = serveScriptPages(site);
    if (base.isEmpty())
        return failed(site.error());
    std::puts(qPrintable(base));
    return readyUntilInputEnds();
}

int settings(QStringList args)
{
    if (args.size() < 5 || (args.size() - 5) % 4 != 0)
        return usage();
    const QString file = args.takeFirst();
    const SettingsValues values{args.at(0).toInt(), args.at(1).toInt(), args.at(2).toInt(),
                                args.at(3).toInt()};
    QList<QStringList> routes;
    for (int i = 4; i < args.size(); i += 4)
        routes.append(args.mid(i, 4));
    writeSettings(file, values, routes);
    return 0;
}

int writeFeed(const QString& file, const QByteArray& feed)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(feed) != feed.size())
        return failed(QStringLiteral("cannot write ") + file);
    return 0;
}

int flood(const QString& kind, const QString& file)
{
    const qsizetype size = CheckTimings().replyCapBytes - 4096;
    if (kind == QLatin1String("alerts"))
        return writeFeed(file, alertsFlood(QDateTime::currentSecsSinceEpoch(), size));
    if (kind == QLatin1String("odpt"))
        return writeFeed(file, odptFlood(size));
    return usage();
}

int record(const QString& folder, int route, int count)
{
    CheckHistory history(folder);
    QObject::connect(&history, &CheckHistory::notice, [](const QString& text) { failed(text); });
    for (int i = 1; i <= count; ++i) {
        if (!history.append(
                recordAt(QDateTime::currentDateTimeUtc(), route, StatusNormal, QString::number(i))))
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("display"))
        return display(args);
    if (command == QLatin1String("tray") && args.isEmpty())
        return tray();
    if (command == QLatin1String("serve") && (args.size() == 2 || args.size() == 3))
        return serve(args.at(0), args.at(1), args.value(2));
    if (command == QLatin1String("scriptpages") && args.size() == 1)
        return scriptPages(args.at(0));
    if (command == QLatin1String("settings"))
        return settings(args);
    if (command == QLatin1String("alerts") && args.size() == 1)
        return writeFeed(args.at(0), agencyAlertsFeed(QDateTime::currentSecsSinceEpoch()));
    if (command == QLatin1String("flood") && args.size() == 2)
        return flood(args.at(0), args.at(1));
    if (command == QLatin1String("record") && args.size() == 3)
        return record(args.at(0), args.at(1).toInt(), args.at(2).toInt());
    return usage();
}
