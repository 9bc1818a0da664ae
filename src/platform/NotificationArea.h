// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

namespace senrokan::platform
{

// Whether the program's icon goes to a StatusNotifierItem tray (KDE Plasma, XFCE, LXQt, waybar,
// GNOME with its AppIndicator extension). Such a tray reports a click as one activation and
// draws the icon's menu itself; an X11 tray of embedded windows (XEmbed) reports double-clicks
// and lets the program open its menu. Asked before the first icon is made, when Qt makes the
// same choice for the whole run, and answered the same way from then on.
bool itemTrayInUse();

// The icon's tip as the icon is given it, so that it shows as the plain text it is: on an X11 tray
// of embedded icons Qt draws the tip itself, as rich text whenever its first line holds a tag.
QString iconTipText(const QString& text);

} // namespace senrokan::platform
