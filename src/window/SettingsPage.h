// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace senrokan
{

class IntervalOptions;
class NotifyTargetsBox;
class OptionSwitches;
class Reporter;

// Page 0 of the tab control: this computer's name and address, the Startup, resident and
// railway-file buttons, the priority railway file, and the frames "動作", "チェック間隔" and
// "通知先".
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    SettingsPage(SettingsValues& values, Reporter& reporter, QWidget* parent = nullptr);

    // Arranges the controls; done once, before the window is first shown. Laying out measures
    // the Japanese captions, which loads the Japanese font: megabytes that a program that stays
    // resident would hold for nothing.
    void layOut();
    // This computer's name and address, put into their boxes when the page is laid out, since a
    // box lays out its text at once.
    void setHost(const QString& name, const QString& address);

    QLineEdit* text6() const { return m_text6; }
    QLineEdit* text7() const { return m_text7; }
    QLineEdit* text9() const { return m_text9; }
    QPushButton* command6() const { return m_command6; }
    QPushButton* command7() const { return m_command7; }
    QPushButton* command22() const { return m_command22; }
    OptionSwitches* switches() const { return m_switches; }
    IntervalOptions* intervals() const { return m_intervals; }
    NotifyTargetsBox* notifyTargets() const { return m_notifyTargets; }

private:
    QLabel* m_label6;
    QLabel* m_label7;
    QLabel* m_label8;
    QPushButton* m_command20;
    QPushButton* m_command21;
    QLineEdit* m_text6;
    QLineEdit* m_text7;
    QLineEdit* m_text9;
    QPushButton* m_command6;
    QPushButton* m_command7;
    QPushButton* m_command22;
    OptionSwitches* m_switches;
    IntervalOptions* m_intervals;
    QString m_hostName;
    QString m_hostAddress;
    NotifyTargetsBox* m_notifyTargets;
};

} // namespace senrokan
