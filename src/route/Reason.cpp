// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Reason.h"

namespace senrokan
{

namespace
{

// The characters that end a line (Unicode's mandatory breaks).
bool breaksLine(char32_t c)
{
    return (c >= u'\n' && c <= u'\r') || c == 0x85 || c == 0x2028 || c == 0x2029;
}

} // namespace

QString foldReason(QStringView text)
{
    QString out;
    out.reserve(qMin(text.size(), MaxReasonLength + 1));
    // What the gap before the next visible character becomes: nothing, a blank or a break.
    QChar gap;
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
        // Format controls would upset whatever shows the text, as would the unassigned rest of
        // the tag block, as invisible as its tags: they count as blanks.
        const QChar::Category category = QChar::category(c);
        const bool space = QChar::isSpace(c) || category == QChar::Other_Control ||
                           category == QChar::Other_Format || (c >= 0xE0000 && c <= 0xE007F);
        if (space) {
            if (!out.isEmpty() && gap != u'\n')
                gap = breaksLine(c) ? u'\n' : u' ';
            continue;
        }
        if (!gap.isNull())
            out += gap;
        gap = QChar();
        out += QChar::fromUcs4(c);
        if (out.size() > MaxReasonLength)
            break;
    }
    return cutWithEllipsis(out, MaxReasonLength);
}

QString cutWithEllipsis(QStringView text, qsizetype length)
{
    if (text.size() <= length)
        return text.toString();
    QStringView kept = text.first(qMax<qsizetype>(length - 1, 0));
    // Never end on half of a surrogate pair.
    if (!kept.isEmpty() && kept.back().isHighSurrogate())
        kept.chop(1);
    return kept.toString() + u'…';
}

QString reasonOnOneLine(const QString& reason)
{
    QString line = reason;
    return line.replace(u'\n', QStringLiteral(" / "));
}

QString reasonFirstWords(const QString& reason, qsizetype words)
{
    return cutWithEllipsis(reason.simplified(), words + 1);
}

QString withReason(const QString& text, const QString& reason)
{
    return reason.isEmpty() ? text : text + QStringLiteral(" — ") + reason;
}

QString foldName(QStringView text)
{
    return foldReason(text).replace(u'\n', u' ');
}

} // namespace senrokan
