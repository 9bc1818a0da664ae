// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QDateTime>

#include <functional>

namespace senrokan
{

// The current local time, injectable so that tests can set the day and the hour.
using Clock = std::function<QDateTime()>;

inline QDateTime systemClock()
{
    return QDateTime::currentDateTime();
}

} // namespace senrokan
