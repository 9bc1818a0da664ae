// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckDays.h"

#include "Holidays.h"

#include <QStringList>

namespace senrokan
{

namespace
{

// Monday first, as QDate::dayOfWeek counts.
const QString WeekDays = QStringLiteral("月火水木金土日");
const QString Separators = QStringLiteral(",、，・");

} // namespace

std::optional<QString> parseCheckDays(const QString& text, QString* error)
{
    QString days;
    for (const QChar c : text) {
        if (c.isSpace() || Separators.contains(c))
            continue;
        if (!WeekDays.contains(c)) {
            if (error)
                *error = QStringLiteral("Days= の「%1」は曜日ではありません。"
                                        "月火水木金土日の字で書いてください")
                             .arg(c);
            return std::nullopt;
        }
        days += c;
    }
    QString ordered;
    for (const QChar day : WeekDays)
        if (days.contains(day))
            ordered += day;
    return ordered;
}

std::optional<bool> parseHolidaysValue(const QString& text, QString* error)
{
    const QString value = text.trimmed().toLower();
    if (value.isEmpty() || value == u"true" || value == u"1" || value == u"yes")
        return true;
    if (value == u"false" || value == u"0" || value == u"no")
        return false;
    if (error)
        *error = QStringLiteral("Holidays= は true か false で書いてください（「%1」）")
                     .arg(text.trimmed());
    return std::nullopt;
}

std::optional<QString> dayOffReason(const RouteOptions& options, QDate date)
{
    if (!date.isValid())
        return std::nullopt;
    if (!options.days.isEmpty() && !options.days.contains(WeekDays.at(date.dayOfWeek() - 1)))
        return OffWeekdayReason;
    if (!options.holidays && holidayName(date))
        return OffHolidayReason;
    return std::nullopt;
}

} // namespace senrokan
