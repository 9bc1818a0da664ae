// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "Telling.h"
#include "route/RouteState.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace senrokan
{

struct PopupEntry;

// The four pictures of the notification-area icon.
enum class TrayPicture { Normal, Delay, Checking, Error };

// What the check cycle shows and asks of the desktop: the notification-area icon, the main
// window, the delay popup and its chime. The main window implements it; tests record it.
class CycleDisplay
{
public:
    virtual ~CycleDisplay() = default;
    // Puts the icon in place with the normal picture and makes its clicks count; safe to call
    // while it is there.
    virtual void addTrayIcon() = 0;
    virtual void hideMainWindow() = 0;
    virtual void setTrayPicture(TrayPicture picture) = 0;
    // The icon for the routes as told: the picture they call for, and a tip that says them,
    // the lines kept quiet marked as telling says.
    virtual void showTrayStates(const RouteStates& states, const RoundTelling& telling);
    // Selects the settings page of the main window's tabs, hidden or not.
    virtual void selectSettingsPage() = 0;
    // Replaces the popup's routes and shows it above all windows, where it was, without taking
    // the keyboard focus.
    virtual void showPopup(const QList<PopupEntry>& entries) = 0;
    // Hides the popup; it keeps its text.
    virtual void hidePopup() = 0;
    // The desktop notification of the last check: its lines (the delayed routes, each with its
    // reason when known, then any told delayed before that run normally again) in place of the
    // notification shown, or none when the list is empty.
    // Returns at once.
    virtual void setDelayNotice(const QStringList& lines) = 0;
    // In place of the delay's notification, one that says its lines run normally again and goes
    // by itself; by default the delay's is only taken away.
    virtual void setRecoveryNotice(const QStringList& lines)
    {
        Q_UNUSED(lines);
        setDelayNotice({});
    }
    // Starts the chime and returns at once; a new start cuts off the one before.
    virtual void playChime() = 0;
    // The minutes of the selected interval option, none when no option is selected.
    virtual std::optional<int> selectedIntervalMinutes() const = 0;
};

} // namespace senrokan
