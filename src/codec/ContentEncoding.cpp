// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ContentEncoding.h"

// The input is only read.
#define ZLIB_CONST
#include <zlib.h>

namespace senrokan
{

namespace
{

constexpr int MaxWindowBits = 15;
constexpr int DetectGzipOrZlib = MaxWindowBits + 32;
constexpr int RawDeflate = -MaxWindowBits;

// One zlib stream inflated; Z_STREAM_END when it ended within the body and the cap.
int inflateStream(const QByteArray& body, int windowBits, qsizetype capBytes, QByteArray& out)
{
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return Z_MEM_ERROR;
    stream.next_in = reinterpret_cast<const Bytef*>(body.constData());
    stream.avail_in = uInt(body.size());
    constexpr qsizetype Step = 64 * 1024;
    int result = Z_OK;
    out.clear();
    while (result == Z_OK) {
        const qsizetype done = out.size();
        // One byte past the cap tells a body over it from one that fills it exactly.
        const qsizetype room = qMin(Step, capBytes + 1 - done);
        if (room <= 0)
            break;
        out.resize(done + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = uInt(room);
        result = inflate(&stream, Z_NO_FLUSH);
        out.resize(done + room - qsizetype(stream.avail_out));
        // Input used up before the stream's end: the body was cut.
        if (result == Z_BUF_ERROR || (result == Z_OK && stream.avail_in == 0 && stream.avail_out))
            break;
    }
    inflateEnd(&stream);
    return result;
}

} // namespace

DecodedBody decodeContent(const QByteArray& body, const QByteArray& encoding, qsizetype capBytes)
{
    const QByteArray name = encoding.trimmed().toLower();
    if (name.isEmpty() || name == "identity")
        return {body, false, {}};
    const bool gzip = name == "gzip" || name == "x-gzip";
    if (!gzip && name != "deflate")
        return {
            {}, false, QStringLiteral("圧縮形式 %1 は読めません").arg(QString::fromLatin1(name))};

    DecodedBody decoded;
    int result = inflateStream(body, DetectGzipOrZlib, capBytes, decoded.bytes);
    // Some servers send deflate without zlib's wrapping.
    if (!gzip && result == Z_DATA_ERROR && decoded.bytes.isEmpty())
        result = inflateStream(body, RawDeflate, capBytes, decoded.bytes);
    if (decoded.bytes.size() > capBytes) {
        decoded.bytes.clear();
        decoded.tooLarge = true;
    } else if (result != Z_STREAM_END) {
        decoded.bytes.clear();
        // The stream wanted more than the body had, or the body is not that stream at all.
        const bool cut = result == Z_OK || result == Z_BUF_ERROR;
        decoded.error =
            QStringLiteral("%1 の本文を展開できません（%2）")
                .arg(QString::fromLatin1(name),
                     cut ? QStringLiteral("途中で切れています") : QStringLiteral("壊れています"));
    }
    return decoded;
}

} // namespace senrokan
