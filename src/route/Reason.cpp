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
    for (const QChar c : text) {
        // Line and paragraph separators and format controls would break the one line too.
        const bool space = c.isSpace() || c.category() == QChar::Other_Control ||
                           c.category() == QChar::Other_Format;
        if (space) {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += u' ';
        blank = false;
        out += c;
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
