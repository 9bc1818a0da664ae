// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ControlNames.h"

#include <QLabel>
#include <QWidget>

namespace senrokan
{

void nameControl(QWidget* control, const QString& controlName, const QString& spokenName)
{
    control->setObjectName(controlName);
    control->setAccessibleDescription(controlName);
    control->setAccessibleName(spokenName);
}

QLabel* makeBuddyLabel(const QString& caption, QWidget* buddy, const QString& controlName,
                       QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(buddy);
    nameControl(label, controlName, caption);
    return label;
}

QString arrayElementName(const QString& array, int index)
{
    return QStringLiteral("%1(%2)").arg(array).arg(index);
}

} // namespace senrokan
