// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QString>

namespace senrokan
{

// The encodings a fetch asks servers for, as an Accept-Encoding value.
inline constexpr char AcceptedEncodings[] = "gzip, deflate";

struct DecodedBody {
    QByteArray bytes;
    bool tooLarge = false; // more than the cap once decoded
    QString error;         // why the body could not be decoded; empty when it was
};

// An HTTP body decoded as its Content-Encoding value says: gzip or deflate (zlib-wrapped or raw,
// as browsers take it); none or identity as it is. A body that is not what it is labelled, one cut
// short and an encoding not asked for are errors; at most capBytes are decoded.
DecodedBody decodeContent(const QByteArray& body, const QByteArray& encoding, qsizetype capBytes);

} // namespace senrokan
