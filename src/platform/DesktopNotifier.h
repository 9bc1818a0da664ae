// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

namespace senrokan::platform
{

// The desktop's own notifications, the one channel every desktop shows, also those without a
// notification area or windows that stay on top. The program keeps at most one: a new delay
// replaces the one shown. Nothing here waits for the desktop: without a notification service
// nothing is shown and nothing is reported.
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Shows the delayed routes, one a line (a title, and the reason when known), in place of the
    // notification shown. The lines are plain text, much of it from the network.
    virtual void showDelay(const QStringList& lines) = 0;
    // In place of the notification shown, one saying its lines run normally again, one a line;
    // it goes by itself after a short while.
    virtual void showRecovery(const QStringList& lines) = 0;
    // Takes the notification away, if one is shown.
    virtual void withdraw() = 0;
    // The program ends: the notification is taken away before this returns, which waits for
    // the desktop half a second at most, and nothing is shown after.
    virtual void end() = 0;

Q_SIGNALS:
    // The user chose the notification: the main window is wanted, as by the menu's "設定".
    void windowRequested();
};

// The implementation for this system.
std::unique_ptr<DesktopNotifier> makeDesktopNotifier();

} // namespace senrokan::platform
