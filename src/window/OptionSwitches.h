// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QGroupBox>

class QCheckBox;

namespace senrokan
{

// The frame "動作": three boxes, each copying its state into one flag the moment it changes.
// The flags, not the boxes, are what the rest of the program reads and the files store.
class OptionSwitches : public QGroupBox
{
    Q_OBJECT
public:
    explicit OptionSwitches(SettingsValues& values, QWidget* parent = nullptr);

    QCheckBox* check1() const { return m_check1; }
    QCheckBox* check14() const { return m_check14; }
    QCheckBox* check2() const { return m_check2; }

    // After a load or an import: each box shows its flag, ticked for 1 and clear otherwise. A box
    // left ticked over a flag of 0 would promise a chime that never plays and a save of 1 that
    // writes 0. The flags keep the values read, so a 2 is still saved as 2. A window made
    // after the load shows the flags as they were then.
    void showFlags(const SettingsValues& flags);

private:
    void Check1_Click();
    void Check14_Click();
    void Check2_Click();

    SettingsValues& m_values;
    QCheckBox* m_check14;
    QCheckBox* m_check1;
    QCheckBox* m_check2;
};

} // namespace senrokan
