// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "IntervalOptions.h"

#include "accessibility/ControlNames.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace senrokan
{

namespace
{

const std::array<QString, IntervalOptionCount + 1> Captions = {
    QString(),
    QStringLiteral(" 10分"),
    QStringLiteral(" 30分"),
    QStringLiteral(" 1時間"),
    QStringLiteral(" 2時間"),
    QStringLiteral(" 4時間"),
    QStringLiteral(" 24時間"),
};

} // namespace

IntervalOptions::IntervalOptions(SettingsValues& values, QWidget* parent)
    : QGroupBox(QStringLiteral("チェック間隔"), parent), m_values(values)
{
    auto* layout = new QVBoxLayout(this);
    for (int n = 1; n <= IntervalOptionCount; ++n) {
        auto* option = new QRadioButton(Captions.at(n), this);
        nameControl(option, QStringLiteral("Option%1").arg(n), Captions.at(n));
        layout->addWidget(option);
        m_options.at(n) = option;
    }
    layout->addStretch();
    // Selected before the handlers are connected: the design-time choice is not a click.
    m_options.at(IntervalDesignOption)->setChecked(true);
    for (int n = 1; n <= IntervalOptionCount; ++n) {
        // Clicked, not toggled: clicking the option already selected sets its value too.
        connect(m_options.at(n), &QRadioButton::clicked, this, [this, n] { Option_Click(n); });
    }
}

int IntervalOptions::optionOf(int minutes)
{
    const auto found =
        std::find(IntervalOptionMinutes.begin() + 1, IntervalOptionMinutes.end(), minutes);
    return found == IntervalOptionMinutes.end() ? 0 : int(found - IntervalOptionMinutes.begin());
}

void IntervalOptions::selectInterval(int minutes)
{
    const int n = optionOf(minutes);
    if (n == 0)
        return;
    // Selected from code, the option's handler runs as it does for a click.
    m_options.at(n)->setChecked(true);
    Option_Click(n);
}

std::optional<int> IntervalOptions::selectedMinutes() const
{
    for (int n = 1; n <= IntervalOptionCount; ++n) {
        if (m_options.at(n)->isChecked())
            return IntervalOptionMinutes.at(n);
    }
    return std::nullopt;
}

void IntervalOptions::Option_Click(int n)
{
    m_values.CheckIntervalMinutes = IntervalOptionMinutes.at(n);
}

} // namespace senrokan
