// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The floor of bench/resident_idle.sh: a bare Qt program with one icon in the notification
// area and nothing else, started the way senrokan is.
// usage: tray_floor ICON.svg
#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 64;
    QApplication::setQuitOnLastWindowClosed(false);
    QSystemTrayIcon icon(QIcon(QString::fromLocal8Bit(argv[1])));
    icon.show();
    return app.exec();
}
