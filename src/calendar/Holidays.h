// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace senrokan
{

// The years whose holidays are computed: the equinox formula holds to 2099, and the Monday
// holidays took their present form in 2000.
inline constexpr int FirstHolidayYear = 2000;
inline constexpr int LastHolidayYear = 2099;

// A day off by the Act on National Holidays or a special law, named as the official list names
// it: a national holiday, "<holiday> 振替休日" after one on a Sunday, "休日" between two.
struct Holiday {
    QDate date;
    QString name;

    bool operator==(const Holiday&) const = default;
};

// The year's holidays in date order; none outside FirstHolidayYear to LastHolidayYear.
QList<Holiday> holidaysOf(int year);
// The name of the holiday on date; none when it is a working day or outside the years computed.
std::optional<QString> holidayName(QDate date);

} // namespace senrokan
