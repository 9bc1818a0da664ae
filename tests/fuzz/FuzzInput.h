// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace senrokan::fuzz
{

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Cuts the input at NUL bytes into exactly count parts, the last taking the rest.
inline QList<QByteArray> parts(const QByteArray& bytes, int count)
{
    QList<QByteArray> out;
    qsizetype start = 0;
    for (int i = 0; i < count - 1; ++i) {
        const qsizetype nul = bytes.indexOf('\0', start);
        if (nul < 0) {
            out << bytes.mid(start);
            start = bytes.size();
            continue;
        }
        out << bytes.mid(start, nul - start);
        start = nul + 1;
    }
    out << bytes.mid(start);
    return out;
}

// A property that must hold for every input; libFuzzer keeps the input that breaks it.
inline void require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace senrokan::fuzz
