// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ControlNames.h"

#include <QWidget>

namespace senrokan
{

void nameControl(QWidget* control, const QString& controlName, const QString& spokenName)
{
    control->setObjectName(controlName);
    control->setAccessibleDescription(controlName);
    control->setAccessibleName(spokenName);
}

QString arrayElementName(const QString& array, int index)
{
    return QStringLiteral("%1(%2)").arg(array).arg(index);
}

} // namespace senrokan
