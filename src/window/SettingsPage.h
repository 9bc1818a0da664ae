// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "IntervalOptions.h"
#include "route/RouteState.h"

#include <QString>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace senrokan
{

class NotifyTargetsBox;
class OptionSwitches;
class CompanionSettings;

// Page 0 of the tab control: this computer's name and address, the Startup, resident and
// railway-file buttons, the priority railway file, and the frames "動作", "チェック間隔" and
// "通知先".
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    SettingsPage(SettingsValues& values, const CompanionSettings& companion,
                 QWidget* parent = nullptr);

    // Makes and arranges the controls with what was set so far; done once, before the window is
    // first shown. A box lays out its text as it is made and a frame measures its caption, which
    // loads the fonts and the Japanese font: megabytes that a program that stays resident would
    // hold for nothing.
    void makeControls();
    // This computer's name and address, for Text6 and Text7.
    void setHost(const QString& name, const QString& address);
    // Text9, the priority railway file.
    QString priorityName() const;
    void setPriorityName(const QString& name);
    // After a load or an import: the option boxes show the flags (OptionSwitches::showFlags).
    void showFlags();
    // The interval options (IntervalOptions::selectInterval, IntervalOptions::selectedMinutes).
    void selectInterval(int minutes);
    std::optional<int> selectedIntervalMinutes() const;
    // Whether the page opens with the line that says where to begin: at a first start, without
    // a settings file.
    void showStartHint(bool shown);
    // In the frame "通知先", once it is made (NotifyTargetsBox::showOutcome, showMessage).
    void showReportOutcome(const QString& targetText, bool delivered, const QString& error);
    void showReportMessage(const QString& text);

Q_SIGNALS:
    // Command6 "鉄道ファイル保存", Command7 "鉄道ファイル読出", Command22 "タスクトレイに常駐".
    void exportClicked();
    void importClicked();
    void residentClicked();
    // "テスト送信" in the frame "通知先".
    void testReportRequested();

private:
    SettingsValues& m_values;
    const CompanionSettings& m_companion;
    QString m_hostName;
    QString m_hostAddress;
    QString m_priorityName;
    std::optional<SettingsValues> m_shownFlags; // the flags as last shown, when never shown yet
    int m_selectedOption = IntervalDesignOption;
    bool m_startHintShown = false;
    QLabel* m_startHint = nullptr;
    QLabel* m_label6 = nullptr;
    QLabel* m_label7 = nullptr;
    QLabel* m_label8 = nullptr;
    QPushButton* m_command20 = nullptr;
    QPushButton* m_command21 = nullptr;
    QLineEdit* m_text6 = nullptr;
    QLineEdit* m_text7 = nullptr;
    QLineEdit* m_text9 = nullptr;
    QPushButton* m_command6 = nullptr;
    QPushButton* m_command7 = nullptr;
    QPushButton* m_command22 = nullptr;
    OptionSwitches* m_switches = nullptr;
    IntervalOptions* m_intervals = nullptr;
    NotifyTargetsBox* m_notifyTargets = nullptr;
};

} // namespace senrokan
