// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace senrokan
{

// The text with JSON string escapes decoded (\uXXXX with surrogate pairs, \n, \", \\, ...), for
// searching feeds that escape every non-ASCII character. A backslash that starts no valid escape
// stays as it is; a lone surrogate becomes U+FFFD.
QString decodeJsonEscapes(QStringView text);

// What parsing JSON text would make, counted without parsing it, strings skipped: parsed, tiny
// values take some ten times their size and tiny arrays seventy, so a bound goes on these.
struct JsonCounts {
    qsizetype containers = 0; // arrays and objects
    qsizetype values = 0;     // commas and colons: about one value or name each
};
JsonCounts countJson(QByteArrayView json);

} // namespace senrokan
