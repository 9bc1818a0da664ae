#pragma once

#include <QString>
#include <QStringView>

namespace senrokan
{

enum class PageCoding { ShiftJis, Utf8, EucJp, Iso2022Jp, NotRecognised };

// The text after the first "charset=" up to the next double quote, even across line ends, with
// blanks (U+0020 only) trimmed at both ends. Empty when either is missing.
QString findDeclaredCoding(QStringView text);

// Only the exact lower- and upper-case forms count; "Shift_JIS" or "Utf-8" do not.
PageCoding classifyDeclaration(QStringView declaration);

} // namespace senrokan
