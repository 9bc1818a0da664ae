// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

struct UConverter;

namespace senrokan
{

// ICU names of the codings the program meets.
namespace coding
{
inline constexpr const char* Cp932 = "windows-31j"; // Shift_JIS as Windows writes it
inline constexpr const char* EucJp = "EUC-JP";
inline constexpr const char* Iso2022Jp = "ISO_2022,locale=ja,version=4";
inline constexpr const char* Utf8 = "UTF-8";
inline constexpr const char* Utf16Le = "UTF-16LE";
inline constexpr const char* Utf16Be = "UTF-16BE";
} // namespace coding

// A stateful ICU converter. Decoding with flush = false keeps an incomplete multibyte sequence
// for the next call, so text that arrives in pieces is decoded as if it came in one.
class Converter
{
public:
    explicit Converter(const char* icuName); // throws Failure(ConversionFailed)
    ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    QString decode(QByteArrayView bytes, bool flush = true);
    // Encodes with the converter's substitute for characters it has no code for.
    QByteArray encode(QStringView text);
    // Encodes only when the bytes decode back to exactly the same text.
    bool encodeExactly(QStringView text, QByteArray* out);
    void reset();

private:
    UConverter* m_conv = nullptr;
    // ICU's windows-31j table rotates 0x1A, 0x1C and 0x7F among other control codes; code page
    // 932 maps each byte to the same code point, as files and servers expect.
    bool m_keepControlCodes = false;
};

QString decodeCp932(QByteArrayView bytes);
QByteArray encodeCp932(QStringView text);

} // namespace senrokan
