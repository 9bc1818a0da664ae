// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckDays.h"

#include "Holidays.h"
#include "TimeWindow.h"
#include "base/Failure.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace senrokan
{

namespace
{

// Monday first, as QDate::dayOfWeek counts.
const QString WeekDays = QStringLiteral("月火水木金土日");
const QString Separators = QStringLiteral(",、，・");

int minuteOfDay(QTime time)
{
    return time.hour() * 60 + time.minute();
}

bool crossesMidnight(const HourBand& band)
{
    return minuteOfDay(band.to) < minuteOfDay(band.from);
}

bool inBand(const HourBand& band, QTime time)
{
    const int t = minuteOfDay(time);
    const int from = minuteOfDay(band.from);
    const int to = minuteOfDay(band.to);
    return crossesMidnight(band) ? t >= from || t <= to : t >= from && t <= to;
}

// The moment the band's last minute ends, for a band that starts on date.
QDateTime bandEnd(const HourBand& band, QDate date)
{
    return QDateTime(crossesMidnight(band) ? date.addDays(1) : date,
                     QTime(band.to.hour(), band.to.minute()))
        .addSecs(60);
}

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

std::optional<QList<HourBand>> parseHours(const QString& text, QString* error)
{
    static const QRegularExpression bandSeparator(QStringLiteral("[,、，]"));
    static const QRegularExpression dash(QStringLiteral("[-－~〜～–]"));
    QList<HourBand> bands;
    if (text.trimmed().isEmpty())
        return bands;
    for (const QString& band : text.split(bandSeparator)) {
        const QStringList ends = band.split(dash);
        if (ends.size() == 2) {
            try {
                bands.append({parseTimeOfDay(ends[0]), parseTimeOfDay(ends[1])});
                continue;
            } catch (const Failure&) {
            }
        }
        if (error)
            *error = QStringLiteral("Hours= の「%1」を時間帯として読めません。"
                                    "07:00-09:30,17:30-19:30 のように書いてください")
                         .arg(band.trimmed());
        return std::nullopt;
    }
    return bands;
}

std::optional<QString> hoursOffReason(const RouteOptions& options, QTime time)
{
    const QList<HourBand> bands = parseHours(options.hours).value_or(QList<HourBand>());
    if (bands.isEmpty() || std::any_of(bands.cbegin(), bands.cend(),
                                       [&](const HourBand& b) { return inBand(b, time); }))
        return std::nullopt;
    return OffHoursReason;
}

QDateTime dayEnd(const RouteOptions& options, const QDateTime& now)
{
    const QDate today = now.date();
    const QList<HourBand> bands = parseHours(options.hours).value_or(QList<HourBand>());
    for (const HourBand& band : bands) {
        // The part after midnight of yesterday's band belongs to yesterday's day.
        if (crossesMidnight(band) && minuteOfDay(now.time()) <= minuteOfDay(band.to))
            return bandEnd(band, today.addDays(-1));
    }
    const auto last =
        std::max_element(bands.cbegin(), bands.cend(), [](const auto& a, const auto& b) {
            return minuteOfDay(a.from) < minuteOfDay(b.from);
        });
    if (last != bands.cend() && bandEnd(*last, today) > now)
        return bandEnd(*last, today);
    return QDateTime(today.addDays(1), QTime(0, 0));
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
