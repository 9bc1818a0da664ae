// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Holidays.h"

#include "SpecialHolidays.h"

#include <QMap>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace senrokan
{

namespace
{

enum class Kind { Fixed, Monday, SpringEquinox, AutumnEquinox };

// A national holiday of the Act and the years it has that form.
struct Rule {
    const char* name;
    int month;
    Kind kind;
    int day; // Fixed: the day of the month; Monday: which Monday of the month
    int from = FirstHolidayYear;
    int to = LastHolidayYear;
};

// The days off the Act derives change with its 2005 amendment, in force from 2007.
constexpr int AmendedYear = 2007;

constexpr Rule Rules[] = {
    {"元日", 1, Kind::Fixed, 1},
    {"成人の日", 1, Kind::Monday, 2},
    {"建国記念の日", 2, Kind::Fixed, 11},
    {"天皇誕生日", 2, Kind::Fixed, 23, 2020},
    {"春分の日", 3, Kind::SpringEquinox, 0},
    {"みどりの日", 4, Kind::Fixed, 29, FirstHolidayYear, AmendedYear - 1},
    {"昭和の日", 4, Kind::Fixed, 29, AmendedYear},
    {"憲法記念日", 5, Kind::Fixed, 3},
    {"みどりの日", 5, Kind::Fixed, 4, AmendedYear},
    {"こどもの日", 5, Kind::Fixed, 5},
    {"海の日", 7, Kind::Fixed, 20, FirstHolidayYear, 2002},
    {"海の日", 7, Kind::Monday, 3, 2003},
    {"山の日", 8, Kind::Fixed, 11, 2016},
    {"敬老の日", 9, Kind::Fixed, 15, FirstHolidayYear, 2002},
    {"敬老の日", 9, Kind::Monday, 3, 2003},
    {"秋分の日", 9, Kind::AutumnEquinox, 0},
    {"体育の日", 10, Kind::Monday, 2, FirstHolidayYear, 2019},
    {"スポーツの日", 10, Kind::Monday, 2, 2020},
    {"文化の日", 11, Kind::Fixed, 3},
    {"勤労感謝の日", 11, Kind::Fixed, 23},
    {"天皇誕生日", 12, Kind::Fixed, 23, FirstHolidayYear, 2018},
};

// The equinox days the Cabinet Office announces follow this formula for 1980 to 2099.
int equinoxDay(int year, double base)
{
    const int since = year - 1980;
    return int(base + 0.242194 * since) - since / 4;
}

QDate ruleDate(const Rule& rule, int year)
{
    switch (rule.kind) {
    case Kind::Fixed:
        return QDate(year, rule.month, rule.day);
    case Kind::Monday: {
        const QDate first(year, rule.month, 1);
        return first.addDays((Qt::Monday - first.dayOfWeek() + 7) % 7 + 7 * (rule.day - 1));
    }
    case Kind::SpringEquinox:
        return QDate(year, rule.month, equinoxDay(year, 20.8431));
    case Kind::AutumnEquinox:
        return QDate(year, rule.month, equinoxDay(year, 23.2488));
    }
    return {};
}

bool movedBySpecialLaw(const char* name, int year)
{
    return std::any_of(std::begin(special::Table), std::end(special::Table), [&](const auto& s) {
        return s.year == year && s.replaces && std::strcmp(s.replaces, name) == 0;
    });
}

// The national holidays proper, the special laws' days among them.
QMap<QDate, QString> nationalHolidays(int year)
{
    QMap<QDate, QString> days;
    for (const Rule& rule : Rules)
        if (rule.from <= year && year <= rule.to && !movedBySpecialLaw(rule.name, year))
            days.insert(ruleDate(rule, year), QString::fromUtf8(rule.name));
    for (const special::SpecialHoliday& s : special::Table)
        if (s.year == year)
            days.insert(QDate(s.year, s.month, s.day), QString::fromUtf8(s.name));
    return days;
}

} // namespace

QList<Holiday> holidaysOf(int year)
{
    if (year < FirstHolidayYear || year > LastHolidayYear)
        return {};
    const QMap<QDate, QString> national = nationalHolidays(year);
    QMap<QDate, QString> days = national;
    // A holiday on Sunday gives the next day that is no holiday off. Before 2007 it was the next
    // day only, which in the years computed never was a holiday itself.
    for (auto it = national.begin(); it != national.end(); ++it) {
        if (it.key().dayOfWeek() != Qt::Sunday)
            continue;
        QDate next = it.key().addDays(1);
        while (national.contains(next))
            next = next.addDays(1);
        days.insert(next, it.value() + QStringLiteral(" 振替休日"));
    }
    // A day between two holidays is a citizens' holiday; before 2007 not on a Sunday.
    for (auto it = national.begin(); std::next(it) != national.end(); ++it) {
        const QDate between = it.key().addDays(1);
        if (std::next(it).key() == between.addDays(1) && !days.contains(between) &&
            (year >= AmendedYear || between.dayOfWeek() != Qt::Sunday))
            days.insert(between, QStringLiteral("休日"));
    }
    QList<Holiday> holidays;
    for (auto it = days.begin(); it != days.end(); ++it)
        holidays.append(Holiday{it.key(), it.value()});
    return holidays;
}

std::optional<QString> holidayName(QDate date)
{
    for (const Holiday& holiday : holidaysOf(date.year()))
        if (holiday.date == date)
            return holiday.name;
    return std::nullopt;
}

} // namespace senrokan
