// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QGroupBox>

#include <array>
#include <optional>

class QRadioButton;

namespace senrokan
{

inline constexpr int IntervalOptionCount = 6;
// CheckIntervalMinutes of Option1 to Option6; [0] unused.
inline constexpr std::array<int, IntervalOptionCount + 1> IntervalOptionMinutes = {
    0, 10, 30, 60, 120, 240, 1440};

// The option selected before any load.
inline constexpr int IntervalDesignOption = 2;

// The frame "チェック間隔": Option1 to Option6, exactly one selected, Option2 at first.
class IntervalOptions : public QGroupBox
{
    Q_OBJECT
public:
    explicit IntervalOptions(SettingsValues& values, QWidget* parent = nullptr);

    QRadioButton* option(int n) const { return m_options.at(n); }
    // The option whose value is minutes; 0 when there is none.
    static int optionOf(int minutes);

    // Selects the option whose value is minutes; its handler then stores that same value. Any
    // other value selects nothing and leaves the selection as it is.
    void selectInterval(int minutes);
    // The minutes of the selected option; none when no option is selected.
    std::optional<int> selectedMinutes() const;

private:
    // Option1_Click to Option6_Click: the selected option's minutes become the interval at once;
    // the timer and the tick count are left alone.
    void Option_Click(int n);

    SettingsValues& m_values;
    std::array<QRadioButton*, IntervalOptionCount + 1> m_options{}; // [0] unused
};

} // namespace senrokan
