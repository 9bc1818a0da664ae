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

    // After a load: ticks Check14 and Check2 where their flag is 1. Never clears a box, so a
    // flag read as 0 (or 2) leaves its box as it was.
    void tickLoadedFlags();

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
