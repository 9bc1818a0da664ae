// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QStringView>

namespace senrokan
{

// The text with JSON string escapes decoded (\uXXXX with surrogate pairs, \n, \", \\, ...), for
// searching feeds that escape every non-ASCII character. A backslash that starts no valid escape
// stays as it is; a lone surrogate becomes U+FFFD.
QString decodeJsonEscapes(QStringView text);

} // namespace senrokan
