#pragma once

#include "route/RouteState.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace senrokan
{

class IntervalOptions;
class OptionSwitches;

// Page 0 of the tab control: this computer's name and address, the Startup, resident and
// railway-file buttons, the priority railway file, and the frames "動作" and "チェック間隔".
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPage(SettingsValues& values, QWidget* parent = nullptr);

    QLineEdit* text6() const { return m_text6; }
    QLineEdit* text7() const { return m_text7; }
    QLineEdit* text9() const { return m_text9; }
    QPushButton* command6() const { return m_command6; }
    QPushButton* command7() const { return m_command7; }
    QPushButton* command22() const { return m_command22; }
    OptionSwitches* switches() const { return m_switches; }
    IntervalOptions* intervals() const { return m_intervals; }

private:
    QLineEdit* m_text6;
    QLineEdit* m_text7;
    QLineEdit* m_text9;
    QPushButton* m_command6;
    QPushButton* m_command7;
    QPushButton* m_command22;
    OptionSwitches* m_switches;
    IntervalOptions* m_intervals;
};

} // namespace senrokan
