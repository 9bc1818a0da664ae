// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace senrokan
{

// Gives a control its name from the program's tables (kept as object name and as accessible
// description, so automation finds every control by the name the program's documents use) and
// the Japanese name a screen reader speaks.
void nameControl(QWidget* control, const QString& controlName, const QString& spokenName);

// A label of plain text caption, named controlName and spoken as its caption, that labels buddy.
QLabel* makeBuddyLabel(const QString& caption, QWidget* buddy, const QString& controlName,
                       QWidget* parent);

// The name of element index of a control array: "Text1" and 2 give "Text1(2)".
QString arrayElementName(const QString& array, int index);

} // namespace senrokan
