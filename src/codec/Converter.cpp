#include "Converter.h"

#include "route/Failure.h"

#include <unicode/ucnv.h>

namespace senrokan {

Converter::Converter(const char* icuName)
{
    UErrorCode status = U_ZERO_ERROR;
    m_conv = ucnv_open(icuName, &status);
    if (U_FAILURE(status))
        throw Failure(FailureKind::ConversionFailed, QString::fromLatin1(icuName));
}

Converter::~Converter() { ucnv_close(m_conv); }

void Converter::reset() { ucnv_reset(m_conv); }

QString Converter::decode(QByteArrayView bytes, bool flush)
{
    QString out;
    // One UTF-16 unit per input byte is enough for the codings we use; the loop covers the rest.
    out.resize(bytes.size() + 16);
    const char* src = bytes.data();
    const char* srcEnd = src + bytes.size();
    UChar* base = reinterpret_cast<UChar*>(out.data());
    UChar* target = base;
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        UChar* targetEnd = base + out.size();
        ucnv_toUnicode(m_conv, &target, targetEnd, &src, srcEnd, nullptr, flush, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            if (U_FAILURE(status))
                throw Failure(FailureKind::ConversionFailed);
            break;
        }
        const qsizetype used = target - base;
        out.resize(out.size() * 2);
        base = reinterpret_cast<UChar*>(out.data());
        target = base + used;
    }
    out.truncate(target - base);
    return out;
}

QByteArray Converter::encode(QStringView text)
{
    QByteArray out;
    out.resize(text.size() * 4 + 16);
    const UChar* src = reinterpret_cast<const UChar*>(text.utf16());
    const UChar* srcEnd = src + text.size();
    char* base = out.data();
    char* target = base;
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(m_conv, &target, base + out.size(), &src, srcEnd, nullptr, true, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            if (U_FAILURE(status))
                throw Failure(FailureKind::ConversionFailed);
            break;
        }
        const qsizetype used = target - base;
        out.resize(out.size() * 2);
        base = out.data();
        target = base + used;
    }
    out.truncate(target - base);
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

QString decodeCp932(QByteArrayView bytes) { return Converter(coding::Cp932).decode(bytes); }

QByteArray encodeCp932(QStringView text) { return Converter(coding::Cp932).encode(text); }

} // namespace senrokan
