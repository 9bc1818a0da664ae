// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace senrokan
{

// The comparison used to find match words and section markers: letter case, full-width against
// half-width forms and hiragana against katakana are ignored; voiced marks still count.
// Positions count UTF-16 units from 1, like the rest of the program's text positions.
//
// The text is folded once (case, width, kana type) and then searched exactly, so several
// searches in one page cost one pass over it.
class TextSearch
{
public:
    explicit TextSearch(QStringView text);

    // Position of the first occurrence of word at or after start, 0 when there is none. An empty
    // word is found at start when start lies within the text. A start below 1 is an invalid
    // argument (throws Failure). end, when given, receives the position just after the
    // occurrence, which may lie further than the word's length (a half-width voiced mark).
    qsizetype find(QStringView word, qsizetype start, qsizetype* end = nullptr) const;

    // The folded form; drops receives the positions (from 0) of units that were merged into the
    // character before them, such as a half-width voiced mark.
    static QString fold(QStringView text, QList<qsizetype>* drops = nullptr);

private:
    // A position (from 0) in the folded text as a position in the original one.
    qsizetype original(qsizetype folded) const;

    QString m_folded;
    QList<qsizetype> m_drops; // ascending
    qsizetype m_size;
};

} // namespace senrokan
