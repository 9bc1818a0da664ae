// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The coding decision and conversion as the check makes them: a whole socket reply (status line,
// header lines, body), and a fetched body with its Content-Type header, cut at the first NUL.
#include "FuzzInput.h"

#include "base/Failure.h"
#include "codec/Converter.h"
#include "codec/JsonEscapes.h"
#include "codec/Kconv.h"
#include "codec/PageCoding.h"

using namespace senrokan;

namespace
{

QString converted(PageCoding coding, const QString& text, const QByteArray& bytes)
{
    switch (coding) {
    case PageCoding::Utf8:
        return ConvertPageText(Kconv(bytes, 3, 5));
    case PageCoding::EucJp:
        return ConvertPageText(Kconv(bytes, 3, 2));
    case PageCoding::Iso2022Jp:
        return ConvertPageText(text);
    case PageCoding::Utf16Le:
        return Converter(coding::Utf16Le).decode(bytes);
    case PageCoding::Utf16Be:
        return Converter(coding::Utf16Be).decode(bytes);
    case PageCoding::ShiftJis:
        break;
    }
    return text;
}

// What every decision must satisfy, whatever the input.
void requireSound(const CodingDecision& d, const QByteArray& input)
{
    const bool declared = d.source == CodingSource::Header || d.source == CodingSource::Meta ||
                          d.source == CodingSource::Xml;
    // A label is shown exactly as it stands in the input, and only a declaration has one.
    fuzz::require(declared == !d.label.isEmpty());
    fuzz::require(!declared || input.contains(d.label));
    fuzz::require(shownDeclaration(d).isEmpty() == (d.source == CodingSource::Default));
    fuzz::require(d.source != CodingSource::Default || d.coding == PageCoding::ShiftJis);
    // UTF-16 only ever by its mark.
    fuzz::require((d.coding != PageCoding::Utf16Le && d.coding != PageCoding::Utf16Be) ||
                  d.source == CodingSource::Bom);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    try {
        const CodingDecision reply = decideReplyCoding(bytes);
        requireSound(reply, bytes);

        const QList<QByteArray> split = fuzz::parts(bytes, 2);
        const CodingDecision page = decidePageCoding(split.at(1), split.at(0));
        requireSound(page, bytes);
        if (split.at(1).startsWith("\xEF\xBB\xBF"))
            fuzz::require(page.source == CodingSource::Bom && page.coding == PageCoding::Utf8);

        Converter socket(coding::Cp932);
        const qsizetype cut = bytes.size() / 2;
        const QString text =
            socket.decode(bytes.first(cut), false) + socket.decode(bytes.sliced(cut), true);
        // Arrival in pieces must not change the text.
        fuzz::require(text == Kconv(bytes, 3, 0));
        const QString pageText = converted(reply.coding, text, bytes);

        // Decoding escapes never lengthens a text and leaves one without a backslash alone.
        const QString decoded = decodeJsonEscapes(pageText);
        fuzz::require(decoded.size() <= pageText.size());
        if (!pageText.contains(QLatin1Char('\\')))
            fuzz::require(decoded == pageText);
        // Text without escape characters passes the escape decoder unchanged.
        if (!text.contains(QChar(0x1b)))
            fuzz::require(ConvertPageText(text) == text);
    } catch (const Failure&) {
        // The check's error trap takes these.
    }
    return 0;
}
