// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// Status pages as servers send them: markup with a declared coding, encoded in a coding.
#include "codec/Converter.h"

#include <QByteArray>
#include <QProcess>
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

// The bytes as the gzip program compresses them, for answers sent with Content-Encoding: gzip.
inline QByteArray gzipped(const QByteArray& bytes)
{
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-cn")});
    gzip.write(bytes);
    gzip.closeWriteChannel();
    gzip.waitForFinished();
    return gzip.readAllStandardOutput();
}

} // namespace senrokan::test
