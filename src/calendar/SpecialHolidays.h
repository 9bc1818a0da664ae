// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// The days special laws set apart from the Act's rules; only Holidays.cpp reads this table.
namespace senrokan::special
{

struct SpecialHoliday {
    int year;
    int month;
    int day;
    const char* name;
    // The rule's holiday this day takes the place of in its year; nullptr for a day added.
    const char* replaces;
};

inline constexpr SpecialHoliday Table[] = {
    // The accession and the enthronement ceremony, treated as national holidays; the days
    // between them and the holidays around become citizens' holidays by the Act's own rule.
    {2019, 5, 1, "休日（祝日扱い）", nullptr},
    {2019, 10, 22, "休日（祝日扱い）", nullptr},
    // Its last year under the old name; the official list already gives the new one.
    {2019, 10, 14, "体育の日（スポーツの日）", "体育の日"},
    // Moved around the Tokyo Games, in 2020 and again in 2021.
    {2020, 7, 23, "海の日", "海の日"},
    {2020, 7, 24, "スポーツの日", "スポーツの日"},
    {2020, 8, 10, "山の日", "山の日"},
    {2021, 7, 22, "海の日", "海の日"},
    {2021, 7, 23, "スポーツの日", "スポーツの日"},
    {2021, 8, 8, "山の日", "山の日"},
};

} // namespace senrokan::special
