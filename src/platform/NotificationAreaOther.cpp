// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "NotificationArea.h"

namespace senrokan::platform
{

bool itemTrayInUse()
{
    // The system's own notification area: clicks and menu as on an X11 tray.
    return false;
}

QString iconTipText(const QString& text)
{
    // The system's own tips are plain text.
    return text;
}

} // namespace senrokan::platform
