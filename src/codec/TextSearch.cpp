// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "TextSearch.h"

#include "base/Failure.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>

#include <algorithm>
#include <array>

namespace senrokan
{

namespace
{

// Half-width and full-width forms (U+FF00..U+FFEF) to their ordinary characters, where that is
// one character: full-width ASCII, half-width katakana and its voiced marks, currency signs.
const std::array<char16_t, 0xF0>& widthTable()
{
    static const std::array<char16_t, 0xF0> table = [] {
        std::array<char16_t, 0xF0> t{};
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
        for (char16_t i = 0; i < t.size(); ++i) {
            const char16_t c = char16_t(0xFF00 + i);
            t[i] = c;
            if (U_FAILURE(status))
                continue;
            icu::UnicodeString out;
            UErrorCode s = U_ZERO_ERROR;
            nfkc->normalize(icu::UnicodeString(UChar(c)), out, s);
            if (U_SUCCESS(s) && out.length() == 1)
                t[i] = out.charAt(0);
        }
        return t;
    }();
    return table;
}

char32_t foldWidth(char32_t c)
{
    if (c == 0x3000)
        return 0x20;
    if (c >= 0xFF00 && c <= 0xFFEF)
        return widthTable()[c - 0xFF00];
    return c;
}

char32_t foldKanaAndCase(char32_t c)
{
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE)
        return c - 0x60; // katakana to hiragana
    return char32_t(u_foldCase(UChar32(c), U_FOLD_CASE_DEFAULT));
}

bool isVoicedMark(char32_t c)
{
    return c == 0x3099 || c == 0x309A;
}

void append(QString& out, char32_t c)
{
    if (c > 0xFFFF) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(char16_t(c));
    }
}

} // namespace

QString TextSearch::fold(QStringView text, QList<qsizetype>* drops)
{
    static const UNormalizer2* nfc = [] {
        UErrorCode status = U_ZERO_ERROR;
        return unorm2_getNFCInstance(&status);
    }();
    QString out;
    out.reserve(text.size());
    char32_t previous = 0; // the last character after width folding, before kana and case
    qsizetype previousAt = -1;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text.at(i).unicode();
        const qsizetype at = i;
        if (QChar::isHighSurrogate(c) && i + 1 < n && text.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
        c = foldWidth(c);
        // A voiced mark written apart (half-width ﾀﾞ, or a combining mark) joins its kana.
        if (isVoicedMark(c) && previousAt >= 0 && previous <= 0xFFFF) {
            const UChar32 composed = unorm2_composePair(nfc, UChar32(previous), UChar32(c));
            if (composed >= 0) {
                previous = char32_t(composed);
                out[out.size() - 1] = QChar(char16_t(foldKanaAndCase(previous)));
                if (drops)
                    drops->append(at);
                continue;
            }
        }
        previous = c;
        previousAt = at;
        append(out, foldKanaAndCase(c));
    }
    return out;
}

TextSearch::TextSearch(QStringView text) : m_size(text.size())
{
    m_folded = fold(text, &m_drops);
}

qsizetype TextSearch::find(QStringView word, qsizetype start, qsizetype* end) const
{
    if (start < 1)
        throw Failure(FailureKind::InvalidArgument);
    if (start > m_size)
        return 0;
    if (word.isEmpty()) {
        if (end)
            *end = start;
        return start;
    }

    // Original position to folded: every merged unit before it shifts it back by one.
    const qsizetype origin = start - 1;
    const qsizetype mergedBefore =
        std::lower_bound(m_drops.cbegin(), m_drops.cend(), origin) - m_drops.cbegin();
    const QString folded = fold(word);
    const qsizetype found = m_folded.indexOf(folded, origin - mergedBefore);
    if (found < 0)
        return 0;
    if (end)
        *end = original(found + folded.size()) + 1;
    return original(found) + 1;
}

qsizetype TextSearch::original(qsizetype folded) const
{
    // A unit merged into the character before a position belongs to that character.
    qsizetype position = folded;
    for (const qsizetype drop : m_drops) {
        if (drop > position)
            break;
        ++position;
    }
    return position;
}

} // namespace senrokan
