// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan-render: reads pages as the browser shows them, for the routes read that way, as
// render/ReaderProtocol.h tells.
#include "PrivateProfile.h"
#include "ReadingSession.h"
#include "platform/EngineSandbox.h"
#include "platform/ThisProcess.h"
#include "platform/TlsTrust.h"
#include "program/CommandLine.h"
#include "render/ReaderProtocol.h"

#include <QGuiApplication>
#include <QSslConfiguration>
#include <QWebEngineProfile>

#include <cstdio>

using namespace senrokan;
using namespace senrokan::render;

namespace
{

const char Usage[] = "usage: senrokan-render [--limit-ms N] [--quiet-ms N]\n";

QByteArray help()
{
    return helpText(
        Usage,
        "Read pages as the browser shows them: one {\"id\":N,\"url\":\"...\"} line a page on "
        "standard input, one JSON answer line a page on standard output.",
        {{"--limit-ms N", "end a page's reading after N milliseconds (10000 unless given)"},
         {"--quiet-ms N", "take the text once the page has been quiet this long (1000)"}},
        {{"0", "every page was answered"},
         {"2", "the browser engine cannot run here"},
         {"64", "the command line was wrong"}});
}

bool takeNumber(const QStringList& args, qsizetype& i, int& value)
{
    bool ok = false;
    value = i + 1 < args.size() ? args.at(++i).toInt(&ok) : 0;
    return ok && value > 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The caller ends a reading by killing us; if it dies first, we go with it.
    platform::endWithParent();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    ReadingTimes times;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (answerInfoOption(arg.toLocal8Bit(), "senrokan-render", help()))
            return 0;
        const bool known =
            (arg == QLatin1String(protocol::LimitOption) && takeNumber(args, i, times.limitMs)) ||
            (arg == QLatin1String("--quiet-ms") && takeNumber(args, i, times.quietMs));
        if (!known) {
            std::fprintf(stderr, "senrokan-render: unknown or incomplete option %s\n%s",
                         qPrintable(arg), Usage);
            return protocol::ExitUsage;
        }
    }
    if (!platform::engineSandboxAllowsThisProcess()) {
        std::fprintf(stderr, "senrokan-render: running as root: the browser's sandbox does not run "
                             "as root; set QTWEBENGINE_DISABLE_SANDBOX=1 to read pages without "
                             "it\n");
        return protocol::ExitNoEngine;
    }
    // No window: the offscreen platform needs no display, and without one there is no GPU.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    // The trust the engine's certificate errors are checked against, as for HTTPS routes.
    QSslConfiguration::setDefaultConfiguration(tlsConfiguration());

    QWebEngineProfile* profile = makePrivateProfile(nullptr);
    int status = 0;
    {
        ReadingSession session(profile, times);
        status = app.exec();
    }
    delete profile;
    return status;
}
