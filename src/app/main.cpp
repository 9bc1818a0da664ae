// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan: the desktop program.
#include "DesktopProgram.h"
#include "desktop/SingleInstance.h"
#include "platform/MemoryTuning.h"
#include "program/CommandLine.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace
{

QByteArray help()
{
    return senrokan::helpText(
        "usage: senrokan [--help | --version]\n",
        "Watch railway status pages and tell when a line is delayed.\n"
        "The settings are Senrokan.DEF in the current directory.",
        {},
        {{"0", "ended normally, or brought the one already running in this directory forward"},
         {"1", "another senrokan holds this directory but does not answer"}});
}

} // namespace

int main(int argc, char* argv[])
{
    // Answered before QApplication, which needs a display, and before the settings. Other
    // arguments are Qt's, as before.
    for (int i = 1; i < argc; ++i)
        if (senrokan::answerInfoOption(argv[i], "senrokan", help()))
            return 0;
    senrokan::platform::keepLargeBuffersApart();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Senrokan"));
    // Wayland compositors and notification settings know the program by its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("senrokan"));
    // One program per folder, decided before the window, the icon or the settings file exist:
    // a later start only brings the running one forward.
    senrokan::SingleInstance instance(QDir::currentPath());
    switch (instance.claim()) {
    case senrokan::SingleInstance::Claim::Owner:
        break;
    case senrokan::SingleInstance::Claim::Forwarded:
        return 0;
    case senrokan::SingleInstance::Claim::OwnerSilent:
        std::fputs("senrokan: already running in this folder, but it does not answer\n", stderr);
        return 1;
    case senrokan::SingleInstance::Claim::Unguarded:
        std::fputs("senrokan: cannot lock this folder; another start here would not be noticed\n",
                   stderr);
        break;
    case senrokan::SingleInstance::Claim::ForeignLock:
        std::fputs("senrokan: this folder's lock belongs to another user; starting without it, "
                   "another start here would not be noticed\n",
                   stderr);
        break;
    }
    // The window may live hidden in the notification area: the program ends only when the
    // window is closed or an exit command runs, never because no window is visible.
    QApplication::setQuitOnLastWindowClosed(false);
    // Every text of the program is Japanese; Qt's own dialogs (file dialogs, buttons) follow.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    senrokan::DesktopProgram program;
    QObject::connect(&program, &senrokan::DesktopProgram::programEnded, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    program.answerLaterStarts(instance);
    program.start();
    return app.exec();
}
