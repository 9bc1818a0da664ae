// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SettingsPage.h"

#include "IntervalOptions.h"
#include "OptionSwitches.h"
#include "StartupShortcut.h"
#include "accessibility/ControlNames.h"
#include "window/NotifyTargetsBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

namespace senrokan
{

namespace
{

QLabel* makeLabel(QWidget* page, const QString& controlName, const QString& caption)
{
    auto* label = new QLabel(caption, page);
    label->setTextFormat(Qt::PlainText);
    nameControl(label, controlName, caption);
    return label;
}

QLineEdit* makeBox(QLabel* label, const QString& controlName)
{
    auto* box = new QLineEdit(label->parentWidget());
    label->setBuddy(box);
    nameControl(box, controlName, label->text());
    return box;
}

QPushButton* makeButton(QWidget* page, const QString& controlName, const QString& caption)
{
    auto* button = new QPushButton(caption, page);
    nameControl(button, controlName, caption);
    return button;
}

// The page's grid: two columns of names and buttons at the left, then the two frames.
enum Column { NameColumn, BoxColumn, ActionFrameColumn, IntervalFrameColumn };
enum Row {
    HintRow,
    HostRow,
    AddressRow,
    GapRow,
    StartupAddRow,
    StartupRemoveRow,
    ResidentRow,
    PriorityRow
};

} // namespace

SettingsPage::SettingsPage(SettingsValues& values, const CompanionSettings& companion,
                           QWidget* parent)
    : QWidget(parent), m_values(values), m_companion(companion)
{
}

void SettingsPage::setHost(const QString& name, const QString& address)
{
    m_hostName = name;
    m_hostAddress = address;
    if (m_text6) {
        m_text6->setText(name);
        m_text7->setText(address);
    }
}

QString SettingsPage::priorityName() const
{
    return m_text9 ? m_text9->text() : m_priorityName;
}

void SettingsPage::setPriorityName(const QString& name)
{
    if (m_text9)
        m_text9->setText(name);
    else
        m_priorityName = name;
}

void SettingsPage::showFlags()
{
    if (m_switches)
        m_switches->showFlags(m_values);
    else
        m_shownFlags = m_values;
}

void SettingsPage::selectInterval(int minutes)
{
    if (m_intervals)
        m_intervals->selectInterval(minutes);
    else if (const int n = IntervalOptions::optionOf(minutes)) {
        // As the option's handler would.
        m_selectedOption = n;
        m_values.CheckIntervalMinutes = minutes;
    }
}

std::optional<int> SettingsPage::selectedIntervalMinutes() const
{
    if (m_intervals)
        return m_intervals->selectedMinutes();
    return IntervalOptionMinutes.at(m_selectedOption);
}

void SettingsPage::showStartHint(bool shown)
{
    m_startHintShown = shown;
    if (m_startHint)
        m_startHint->setVisible(shown);
}

void SettingsPage::showReportOutcome(const QString& targetText, bool delivered,
                                     const QString& error)
{
    if (m_notifyTargets)
        m_notifyTargets->showOutcome(targetText, delivered, error);
}

void SettingsPage::showReportMessage(const QString& text)
{
    if (m_notifyTargets)
        m_notifyTargets->showMessage(text);
}

void SettingsPage::makeControls()
{
    if (m_text6)
        return;
    // Controls are made in reading order, which is the order the Tab key follows.
    m_startHint = makeLabel(this, QStringLiteral("StartHint"),
                            QStringLiteral("はじめに: 路線のタブ（Tab 1～Tab 5）を開き、"
                                           "「路線を選ぶ…」で見たい路線を選んでください。"
                                           "「タスクトレイに常駐」を押すと見張りが始まります"
                                           "（ウィンドウを閉じるとプログラムは終わります）。"
                                           "設定は「終了」で保存されます。"));
    m_startHint->setWordWrap(true);
    m_startHint->setVisible(m_startHintShown);
    m_label6 = makeLabel(this, QStringLiteral("Label6"), QStringLiteral("コンピュータ名"));
    m_text6 = makeBox(m_label6, QStringLiteral("Text6"));
    m_label7 = makeLabel(this, QStringLiteral("Label7"), QStringLiteral("IPアドレス"));
    m_text7 = makeBox(m_label7, QStringLiteral("Text7"));

    m_command20 = makeButton(this, QStringLiteral("Command20"), QStringLiteral("ｽﾀｰﾄｱｯﾌﾟに登録"));
    m_command21 = makeButton(this, QStringLiteral("Command21"), QStringLiteral("ｽﾀｰﾄｱｯﾌﾟから削除"));
    m_command22 =
        makeButton(this, QStringLiteral("Command22"), QStringLiteral("タスクトレイに常駐"));
    m_command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("鉄道ファイル読出"));
    m_command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("鉄道ファイル保存"));
    m_label8 = makeLabel(this, QStringLiteral("Label8"), QStringLiteral("優先鉄道ファイル"));
    m_text9 = makeBox(m_label8, QStringLiteral("Text9"));

    m_switches = new OptionSwitches(m_values, this);
    m_intervals = new IntervalOptions(m_values, this);
    new StartupShortcut(m_command20, m_command21, this);
    m_notifyTargets = new NotifyTargetsBox(m_companion, this);
    connect(m_notifyTargets, &NotifyTargetsBox::testRequested, this,
            &SettingsPage::testReportRequested);
    connect(m_command6, &QPushButton::clicked, this, &SettingsPage::exportClicked);
    connect(m_command7, &QPushButton::clicked, this, &SettingsPage::importClicked);
    connect(m_command22, &QPushButton::clicked, this, &SettingsPage::residentClicked);

    // What was set before, as the controls would have shown it; no handler runs.
    m_text6->setText(m_hostName);
    m_text7->setText(m_hostAddress);
    m_text9->setText(std::exchange(m_priorityName, QString()));
    if (m_shownFlags)
        m_switches->showFlags(*m_shownFlags);
    m_intervals->option(m_selectedOption)->setChecked(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_startHint, HintRow, NameColumn, 1, IntervalFrameColumn + 1);
    grid->addWidget(m_label6, HostRow, NameColumn);
    grid->addWidget(m_text6, HostRow, BoxColumn);
    grid->addWidget(m_label7, AddressRow, NameColumn);
    grid->addWidget(m_text7, AddressRow, BoxColumn);
    grid->setRowMinimumHeight(GapRow, m_label6->sizeHint().height());
    grid->addWidget(m_command20, StartupAddRow, NameColumn);
    grid->addWidget(m_command21, StartupRemoveRow, NameColumn);
    grid->addWidget(m_command7, StartupRemoveRow, BoxColumn);
    grid->addWidget(m_command22, ResidentRow, NameColumn);
    grid->addWidget(m_command6, ResidentRow, BoxColumn);
    grid->addWidget(m_label8, PriorityRow, BoxColumn, Qt::AlignRight);
    grid->addWidget(m_text9, PriorityRow, ActionFrameColumn);
    grid->addWidget(m_switches, HostRow, ActionFrameColumn, StartupAddRow - HostRow, 1,
                    Qt::AlignTop);
    grid->addWidget(m_intervals, HostRow, IntervalFrameColumn, PriorityRow - HostRow, 1);
    // Below the rest, the width of the page: URLs are long.
    grid->addWidget(m_notifyTargets, PriorityRow + 1, NameColumn, 1, IntervalFrameColumn + 1);
    m_notifyTargets->refresh();
    grid->setRowStretch(PriorityRow + 1, 1);
    grid->setColumnStretch(BoxColumn, 1);
    grid->setColumnStretch(ActionFrameColumn, 1);
}

} // namespace senrokan
