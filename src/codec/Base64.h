// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QString>

namespace senrokan
{

// Standard Base64 of the first count bytes, cut into lines of at most 76 characters, each ended
// by CR LF. out is replaced. Lets pending events run every 100 input bytes.
void EncodeBase64(const QByteArray& bytes, qsizetype count, QString& out);

// The alphabet character for v, or empty text for v of 64 or more.
QString Base64Digit(quint8 v);

// Decodes up to the first "=", skipping characters outside the alphabet, and reads the bytes as
// Shift_JIS (CP932): a byte of 128 or more always starts a double-byte character.
QString UnBase64(const QString& text);

} // namespace senrokan
