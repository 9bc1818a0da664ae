// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Base64.h"

#include "Converter.h"

#include <QCoreApplication>

namespace senrokan
{

namespace
{

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int digitValue(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    if (c == u'+')
        return 62;
    if (c == u'/')
        return 63;
    return -1;
}

} // namespace

QString Base64Digit(quint8 v)
{
    return v < 64 ? QString(QLatin1Char(Alphabet[v])) : QString();
}

void EncodeBase64(const QByteArray& bytes, qsizetype count, QString& out)
{
    // A count beyond the array is a caller's mistake; encoding what is there is its safe reading.
    count = qBound<qsizetype>(0, count, bytes.size());
    QString digits;
    digits.reserve((count + 2) / 3 * 4);
    int phase = 0;
    qsizetype i = 0;
    auto byteAt = [&](qsizetype k) { return quint8(bytes[k]); };
    while (i < count) {
        // A large array must not freeze the window.
        if (i % 100 == 0 && QCoreApplication::instance())
            QCoreApplication::processEvents();
        const quint8 b = byteAt(i);
        quint8 v = 0;
        switch (phase) {
        case 0:
            v = b >> 2;
            break;
        case 1:
            v = (b & 3) * 16;
            if (++i < count)
                v += byteAt(i) >> 4;
            break;
        case 2:
            v = (b & 15) * 4;
            if (++i < count)
                v += byteAt(i) >> 6;
            break;
        case 3:
            v = b & 63;
            ++i;
            break;
        }
        digits += Base64Digit(v);
        phase = (phase + 1) % 4;
    }
    if (phase == 2)
        digits += QStringLiteral("==");
    else if (phase == 3)
        digits += QLatin1Char('=');

    out.clear();
    out.reserve(digits.size() + digits.size() / 76 * 2 + 2);
    for (qsizetype at = 0; at < digits.size(); at += 76) {
        out += QStringView(digits).mid(at, 76);
        out += QStringLiteral("\r\n");
    }
}

QString UnBase64(const QString& text)
{
    int n = 8;
    quint32 p = 0;
    int pending = -1;
    QString out;
    // Each character is made from its own code, as the code page makes it: a pair that is no
    // valid double-byte character comes out however the converter renders those two bytes.
    Converter cp932(coding::Cp932);
    for (const QChar ch : text) {
        if (ch == QLatin1Char('='))
            break;
        const int v = digitValue(ch.unicode());
        if (v < 0)
            continue;
        if (n >= 7) {
            p = (p << 6) | quint32(v);
            n -= 6;
            continue;
        }
        const quint8 byte = quint8(((p << n) | ((quint32(v) >> (6 - n)) & 63)) & 255);
        n += 2;
        p = quint32(v);
        if (pending >= 0) {
            const char pair[2] = {char(pending), char(byte)};
            cp932.reset();
            out += cp932.decode(QByteArrayView(pair, 2));
            pending = -1;
        } else if (byte >= 128) {
            pending = byte;
        } else {
            out += QChar(byte);
        }
    }
    return out;
}

} // namespace senrokan
