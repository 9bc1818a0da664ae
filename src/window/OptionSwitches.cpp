// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OptionSwitches.h"

#include "accessibility/ControlNames.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace senrokan
{

namespace
{

QCheckBox* addBox(QGroupBox* frame, const QString& controlName, const QString& caption)
{
    auto* box = new QCheckBox(caption, frame);
    nameControl(box, controlName, caption);
    frame->layout()->addWidget(box);
    return box;
}

int flagOf(const QCheckBox* box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

OptionSwitches::OptionSwitches(SettingsValues& values, QWidget* parent)
    : QGroupBox(QStringLiteral("動作"), parent), m_values(values)
{
    auto* layout = new QVBoxLayout(this);
    m_check14 = addBox(this, QStringLiteral("Check14"), QStringLiteral(" メロディを鳴らす"));
    m_check1 = addBox(this, QStringLiteral("Check1"), QStringLiteral(" タスクトレイに常駐"));
    m_check2 = addBox(this, QStringLiteral("Check2"), QStringLiteral("常駐後すぐにチェック"));
    layout->addStretch();
    // toggled, not clicked: a box ticked by a load runs its handler as a click would.
    connect(m_check1, &QCheckBox::toggled, this, &OptionSwitches::Check1_Click);
    connect(m_check14, &QCheckBox::toggled, this, &OptionSwitches::Check14_Click);
    connect(m_check2, &QCheckBox::toggled, this, &OptionSwitches::Check2_Click);
}

void OptionSwitches::showFlags(const SettingsValues& flags)
{
    // The handlers stay out of it: they would turn a flag of 2 into 0.
    const QSignalBlocker blockResident(m_check1);
    const QSignalBlocker blockMelody(m_check14);
    const QSignalBlocker blockCheckOnResident(m_check2);
    m_check1->setChecked(flags.ResidentFlag == 1);
    m_check14->setChecked(flags.MelodyFlag == 1);
    m_check2->setChecked(flags.CheckOnResidentFlag == 1);
}

void OptionSwitches::Check1_Click()
{
    m_values.ResidentFlag = flagOf(m_check1);
}

void OptionSwitches::Check14_Click()
{
    m_values.MelodyFlag = flagOf(m_check14);
}

void OptionSwitches::Check2_Click()
{
    m_values.CheckOnResidentFlag = flagOf(m_check2);
}

} // namespace senrokan
