// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RouteAddress.h"

#include "codec/Converter.h"

namespace senrokan
{

namespace
{

const QString HttpsScheme = QStringLiteral("https://");

// Reserved characters that keep their meaning in a request line ("?" starts the query) or are
// harmless in a path, and "%", so a path the user typed already encoded goes out unchanged.
bool keptAsTyped(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           QByteArrayView("-._~/?!$&'()*+,;=:@%").contains(c);
}

bool isControl(char c)
{
    return uchar(c) < 0x20 || c == 0x7F;
}

QByteArray percentEncoded(const QByteArray& bytes, bool (*kept)(char))
{
    QByteArray out;
    for (const char c : bytes) {
        if (kept(c)) {
            out += c;
        } else {
            out += '%';
            out += QByteArray::number(uchar(c), 16).rightJustified(2, '0').toUpper();
        }
    }
    return out;
}

} // namespace

bool isHttpsServer(const QString& serverName)
{
    return serverName.startsWith(HttpsScheme, Qt::CaseInsensitive);
}

QString webViewAddress(const QString& serverName, const QString& directoryName)
{
    const QString prefix = isHttpsServer(serverName) ? QString() : QStringLiteral("http://");
    return prefix + serverName + QLatin1Char('/') + directoryName;
}

QByteArray requestPath(const QString& path)
{
    // CP932's second bytes are never below 0x40, so only real control characters are touched.
    return percentEncoded(encodeCp932(path), [](char c) { return !isControl(c); });
}

QUrl byteFetchUrl(const QString& serverName, const QString& path, quint16 port)
{
    const QByteArray encodedPath = percentEncoded(encodeCp932(path), keptAsTyped);
    QUrl url = QUrl::fromEncoded("http://" + QUrl::toAce(serverName) + '/' + encodedPath,
                                 QUrl::TolerantMode);
    if (port != 80)
        url.setPort(port);
    return url;
}

QUrl httpsPageUrl(const QString& serverName, const QString& path)
{
    return QUrl(serverName + QLatin1Char('/') + path, QUrl::TolerantMode);
}

QUrl renderedPageUrl(const QString& serverName, const QString& path, quint16 port)
{
    QUrl url(webViewAddress(serverName, path), QUrl::TolerantMode);
    if (!isHttpsServer(serverName) && url.port() < 0 && port != 80)
        url.setPort(port);
    return url;
}

PerRoute<QString> pageAddresses(const RouteFieldSource& routes)
{
    PerRoute<QString> pages;
    for (int r = 1; r <= RouteCount; ++r) {
        if (!routes.routeField(r, ServerName).isEmpty())
            pages[r] = webViewAddress(routes.routeField(r, ServerName),
                                      routes.routeField(r, DirectoryName));
    }
    return pages;
}

} // namespace senrokan
