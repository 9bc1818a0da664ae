// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Kconv.h"

#include "Converter.h"
#include "base/Failure.h"

namespace senrokan
{

QString Kconv(const QByteArray& bytes, int mode1, int mode2)
{
    if (mode1 != 3)
        throw Failure(FailureKind::InvalidArgument);
    switch (mode2) {
    case 0:
        return Converter(coding::Cp932).decode(bytes);
    case 2:
        return Converter(coding::EucJp).decode(bytes);
    case 5:
        return QString::fromUtf8(bytes);
    default:
        throw Failure(FailureKind::InvalidArgument);
    }
}

QString ConvertPageText(const QString& text)
{
    constexpr QChar Esc(0x1B);
    if (!text.contains(Esc))
        return text;

    // ISO-2022-JP is 7-bit: every run of ASCII characters goes back to its bytes and through the
    // decoder; anything else was decoded already and passes through.
    QString out;
    out.reserve(text.size());
    Converter iso(coding::Iso2022Jp);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        qsizetype j = i;
        while (j < n && text.at(j).unicode() < 0x80)
            ++j;
        if (j > i) {
            iso.reset();
            out += iso.decode(QStringView(text).mid(i, j - i).toLatin1());
            i = j;
        }
        while (j < n && text.at(j).unicode() >= 0x80)
            ++j;
        out += QStringView(text).mid(i, j - i);
        i = j;
    }
    return out;
}

} // namespace senrokan
