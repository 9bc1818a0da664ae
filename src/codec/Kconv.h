// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QString>

namespace senrokan
{

// Page bytes to text. mode1 is 3 at every call site; mode2 picks the source coding:
// 0 = Shift_JIS (CP932), 2 = EUC-JP, 5 = UTF-8. Other modes fail with InvalidArgument.
QString Kconv(const QByteArray& bytes, int mode1, int mode2);

// Decodes the ISO-2022-JP escape sequences found in the text; text without any escape character
// (including text that Kconv has already converted) comes back unchanged.
QString ConvertPageText(const QString& text);

} // namespace senrokan
