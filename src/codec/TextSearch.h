#pragma once

#include <QString>
#include <QStringView>

namespace senrokan {

// The comparison used to find match words and section markers: letter case, full-width against
// half-width forms and hiragana against katakana are ignored; voiced marks still count.
// Positions count UTF-16 units from 1, like the rest of the program's text positions.
class TextSearch {
public:
    // Position of the first occurrence of word at or after start, 0 when there is none. An empty
    // word is found at start when start lies within the text. A start below 1 is an invalid
    // argument (throws Failure).
    static qsizetype find(QStringView text, QStringView word, qsizetype start);
};

} // namespace senrokan
