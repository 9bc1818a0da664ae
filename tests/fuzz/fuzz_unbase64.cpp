// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// UnBase64 on any text, and the round trip through EncodeBase64 for single-byte input.
#include "FuzzInput.h"

#include "codec/Base64.h"

#include <QString>

using namespace senrokan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    UnBase64(QString::fromUtf8(bytes));
    UnBase64(QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2));

    // Below 128 every byte is one character in CP932, so decoding gives back the input.
    QByteArray ascii = bytes;
    for (char& c : ascii)
        c = char(c & 0x7f);
    QString encoded;
    EncodeBase64(ascii, ascii.size(), encoded);
    fuzz::require(UnBase64(encoded) == QString::fromLatin1(ascii));
    return 0;
}
