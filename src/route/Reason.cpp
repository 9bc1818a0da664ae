// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Reason.h"

namespace senrokan
{

QString foldReason(QStringView text)
{
    QString out;
    out.reserve(qMin(text.size(), MaxReasonLength + 1));
    bool blank = false;
    // By code point: invisible characters lie beyond U+FFFF too, and half a surrogate pair
    // would eat its neighbour in UTF-8 (the record, a report).
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = QChar::ReplacementCharacter;
        }
        // Line and paragraph separators and format controls would break the one line too, as
        // would the unassigned rest of the tag block, as invisible as its tags.
        const QChar::Category category = QChar::category(c);
        const bool space = QChar::isSpace(c) || category == QChar::Other_Control ||
                           category == QChar::Other_Format || (c >= 0xE0000 && c <= 0xE007F);
        if (space) {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += QChar::fromUcs4(c);
        if (out.size() > MaxReasonLength)
            break;
    }
    if (out.size() > MaxReasonLength) {
        out.truncate(MaxReasonLength - 1);
        // Never end on half of a surrogate pair.
        if (!out.isEmpty() && out.back().isHighSurrogate())
            out.chop(1);
        out += u'…';
    }
    return out;
}

QString withReason(const QString& text, const QString& reason)
{
    return reason.isEmpty() ? text : text + QStringLiteral(" — ") + reason;
}

} // namespace senrokan
