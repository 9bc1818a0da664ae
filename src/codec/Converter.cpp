// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Converter.h"

#include "base/Failure.h"

#include <unicode/ucnv.h>

#include <cstring>

namespace senrokan
{

namespace
{

// The three control codes as ICU's windows-31j maps them: byte 0x1A decodes to U+001C, 0x1C to
// U+007F and 0x7F to U+001A, and back the other way.
constexpr char16_t IcuOf1A = 0x1C, IcuOf1C = 0x7F, IcuOf7F = 0x1A;

void keepDecodedControls(QString& text)
{
    for (QChar& c : text) {
        switch (c.unicode()) {
        case IcuOf1A:
            c = QChar(0x1A);
            break;
        case IcuOf1C:
            c = QChar(0x1C);
            break;
        case IcuOf7F:
            c = QChar(0x7F);
            break;
        default:
            break;
        }
    }
}

QString controlsForIcu(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out) {
        switch (c.unicode()) {
        case 0x1A:
            c = QChar(IcuOf1A);
            break;
        case 0x1C:
            c = QChar(IcuOf1C);
            break;
        case 0x7F:
            c = QChar(IcuOf7F);
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace

Converter::Converter(const char* icuName)
    : m_keepControlCodes(std::strcmp(icuName, coding::Cp932) == 0)
{
    UErrorCode status = U_ZERO_ERROR;
    m_conv = ucnv_open(icuName, &status);
    if (U_FAILURE(status))
        throw Failure(FailureKind::ConversionFailed);
}

Converter::~Converter()
{
    ucnv_close(m_conv);
}

void Converter::reset()
{
    ucnv_reset(m_conv);
}

namespace
{

// Runs one ICU conversion into out, doubling out until the whole input has gone through.
template <typename Unit, typename Buffer, typename Step>
void convertInto(Buffer& out, qsizetype initialSize, Step step)
{
    out.resize(initialSize);
    qsizetype used = 0;
    for (;;) {
        Unit* base = reinterpret_cast<Unit*>(out.data());
        Unit* target = base + used;
        UErrorCode status = U_ZERO_ERROR;
        step(&target, base + out.size(), &status);
        used = target - base;
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            if (U_FAILURE(status))
                throw Failure(FailureKind::ConversionFailed);
            break;
        }
        out.resize(out.size() * 2);
    }
    out.truncate(used);
}

} // namespace

QString Converter::decode(QByteArrayView bytes, bool flush)
{
    const char* src = bytes.data();
    const char* srcEnd = src + bytes.size();
    QString out;
    // One UTF-16 unit per input byte is enough for the codings we use; the loop covers the rest.
    convertInto<UChar>(out, bytes.size() + 16, [&](UChar** target, UChar* end, UErrorCode* st) {
        ucnv_toUnicode(m_conv, target, end, &src, srcEnd, nullptr, flush, st);
    });
    if (m_keepControlCodes)
        keepDecodedControls(out);
    return out;
}

QByteArray Converter::encode(QStringView input)
{
    const QString swapped = m_keepControlCodes ? controlsForIcu(input) : QString();
    const QStringView text = m_keepControlCodes ? QStringView(swapped) : input;
    const UChar* src = reinterpret_cast<const UChar*>(text.utf16());
    const UChar* srcEnd = src + text.size();
    QByteArray out;
    convertInto<char>(out, text.size() * 2 + 16, [&](char** target, char* end, UErrorCode* st) {
        ucnv_fromUnicode(m_conv, target, end, &src, srcEnd, nullptr, true, st);
    });
    return out;
}

bool Converter::encodeExactly(QStringView text, QByteArray* out)
{
    reset();
    QByteArray bytes = encode(text);
    reset();
    if (decode(bytes) != text)
        return false;
    *out = std::move(bytes);
    return true;
}

QString decodeCp932(QByteArrayView bytes)
{
    return Converter(coding::Cp932).decode(bytes);
}

QByteArray encodeCp932(QStringView text)
{
    return Converter(coding::Cp932).encode(text);
}

} // namespace senrokan
