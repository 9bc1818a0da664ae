// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan: the desktop program.
#include "desktop/SingleInstance.h"
#include "platform/MemoryTuning.h"
#include "window/Form1.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

int main(int argc, char* argv[])
{
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

    senrokan::Form1 window;
    QObject::connect(&window, &senrokan::Form1::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.answerLaterStarts(instance);
    window.Form_Load();
    return app.exec();
}
