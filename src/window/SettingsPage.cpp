// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SettingsPage.h"

#include "accessibility/ControlNames.h"
#include "desktop/IntervalOptions.h"
#include "desktop/OptionSwitches.h"
#include "desktop/StartupShortcut.h"
#include "window/NotifyTargetsBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
enum Row { HostRow, AddressRow, GapRow, StartupAddRow, StartupRemoveRow, ResidentRow, PriorityRow };

} // namespace

SettingsPage::SettingsPage(SettingsValues& values, Reporter& reporter, QWidget* parent)
    : QWidget(parent)
{
    // Controls are made in reading order, which is the order the Tab key follows.
    m_label6 = makeLabel(this, QStringLiteral("Label6"), QStringLiteral("コンピュータ名"));
    m_text6 = makeBox(m_label6, QStringLiteral("Text6"));
    m_label7 = makeLabel(this, QStringLiteral("Label7"), QStringLiteral("IPアドレス"));
    m_text7 = makeBox(m_label7, QStringLiteral("Text7"));

    m_command20 =
        makeButton(this, QStringLiteral("Command20"), QStringLiteral("ｽﾀｰﾄｱｯﾌﾟに登録"));
    m_command21 =
        makeButton(this, QStringLiteral("Command21"), QStringLiteral("ｽﾀｰﾄｱｯﾌﾟから削除"));
    m_command22 =
        makeButton(this, QStringLiteral("Command22"), QStringLiteral("タスクトレイに常駐"));
    m_command7 = makeButton(this, QStringLiteral("Command7"), QStringLiteral("鉄道ファイル読出"));
    m_command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("鉄道ファイル保存"));
    m_label8 = makeLabel(this, QStringLiteral("Label8"), QStringLiteral("優先鉄道ファイル"));
    m_text9 = makeBox(m_label8, QStringLiteral("Text9"));

    m_switches = new OptionSwitches(values, this);
    m_intervals = new IntervalOptions(values, this);
    new StartupShortcut(m_command20, m_command21, this);
    m_notifyTargets = new NotifyTargetsBox(reporter, this);
}

void SettingsPage::setHost(const QString& name, const QString& address)
{
    m_hostName = name;
    m_hostAddress = address;
    if (layout()) {
        m_text6->setText(name);
        m_text7->setText(address);
    }
}

void SettingsPage::layOut()
{
    if (layout())
        return;
    m_text6->setText(m_hostName);
    m_text7->setText(m_hostAddress);
    auto* grid = new QGridLayout(this);
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
    grid->addWidget(m_switches, HostRow, ActionFrameColumn, StartupAddRow, 1, Qt::AlignTop);
    grid->addWidget(m_intervals, HostRow, IntervalFrameColumn, PriorityRow, 1);
    // Below the rest, the width of the page: URLs are long.
    grid->addWidget(m_notifyTargets, PriorityRow + 1, NameColumn, 1, IntervalFrameColumn + 1);
    m_notifyTargets->refresh();
    grid->setRowStretch(PriorityRow + 1, 1);
    grid->setColumnStretch(BoxColumn, 1);
    grid->setColumnStretch(ActionFrameColumn, 1);
}

} // namespace senrokan
