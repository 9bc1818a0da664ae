// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// Status pages as servers send them: markup with a declared coding, encoded in a coding.
#include "codec/Converter.h"

#include <QByteArray>
#include <QString>

namespace senrokan::test
{

inline QString metaFor(const QString& declaration)
{
    return QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%1\">")
        .arg(declaration);
}

inline QString html(const QString& head, const QString& body)
{
    return QStringLiteral("<html><head>%1</head><body>%2</body></html>").arg(head, body);
}

inline QByteArray encoded(const char* coding, const QString& text)
{
    return Converter(coding).encode(text);
}

} // namespace senrokan::test
