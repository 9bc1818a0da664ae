// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RouteAddress.h"

#include "Watching.h"

#include "codec/Converter.h"

#include <algorithm>

namespace senrokan
{

namespace
{

const QString HttpScheme = QStringLiteral("http://");
const QString HttpsScheme = QStringLiteral("https://");

// The length of the scheme that starts a whole address, 0 for a bare host.
qsizetype schemeLength(const QString& serverName)
{
    for (const QString& scheme : {HttpsScheme, HttpScheme})
        if (serverName.startsWith(scheme, Qt::CaseInsensitive))
            return scheme.size();
    return 0;
}

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

PageAddress pageAddress(const RouteDefinition& def, bool retry)
{
    const QString server = def[ServerName].trimmed();
    PageAddress address;
    address.target = retry ? def[DelayDirectoryName] : def[DirectoryName];
    const qsizetype scheme = schemeLength(server);
    if (scheme == 0) {
        address.origin = HttpScheme + server;
        address.host = server;
        if (const std::optional<quint16> port = fieldPort(def[PortNumber]); port && *port != 80) {
            address.port = *port;
            address.origin += QLatin1Char(':') + QString::number(*port);
        }
        return address;
    }
    address.whole = true;
    address.https = scheme == HttpsScheme.size();
    // The fragment concerns only a browser, which never sends it either.
    const QString typed = server.left(server.indexOf(QLatin1Char('#')));
    qsizetype end = scheme;
    while (end < typed.size() && typed.at(end) != u'/' && typed.at(end) != u'?')
        ++end;
    address.origin = typed.left(end);
    // An authority that does not parse is connected to as typed, and fails as a bad host does.
    const QUrl authority(address.origin, QUrl::TolerantMode);
    address.host = authority.host().isEmpty() ? typed.mid(scheme, end - scheme) : authority.host();
    address.port = authority.port();
    if (end < typed.size() && !retry)
        address.target = typed.mid(typed.at(end) == u'/' ? end + 1 : end);
    return address;
}

QByteArray PageAddress::requestTarget() const
{
    return whole ? percentEncoded(target.toUtf8(), keptAsTyped) : requestPath(target);
}

QString addressProblem(const RouteDefinition& def)
{
    const QString server = def[ServerName].trimmed();
    if (server.contains(u'：') || server.contains(u'／'))
        return QStringLiteral("サーバ名に全角の「：」か「／」があります。半角で書いてください");
    const PageAddress address = pageAddress(def);
    if (address.whole)
        return address.host.isEmpty() ? QStringLiteral("サーバ名のアドレスにホスト名がありません")
                                      : QString();
    const bool hostOnly = std::none_of(server.begin(), server.end(),
                                       [](QChar c) { return c == u'/' || c.isSpace(); });
    return hostOnly ? QString()
                    : QStringLiteral("サーバ名にはホスト名だけか、http:// で始まるアドレス全体を"
                                     "書きます");
}

std::optional<quint16> fieldPort(const QString& text)
{
    // Digits typed full-width are digits.
    const QString digits = text.normalized(QString::NormalizationForm_KC).trimmed();
    const bool allDigits =
        !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const uint port = allDigits && digits.size() <= 5 ? digits.toUInt() : 0;
    if (port == 0 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

QString webViewAddress(const RouteDefinition& def)
{
    return pageAddress(def).text();
}

QByteArray requestPath(const QString& path)
{
    // CP932's second bytes are never below 0x40, so only real control characters are touched.
    return percentEncoded(encodeCp932(path), [](char c) { return !isControl(c); });
}

QUrl byteFetchUrl(const QString& host, const QString& path, quint16 port, bool asUtf8)
{
    const QByteArray encodedPath =
        percentEncoded(asUtf8 ? path.toUtf8() : encodeCp932(path), keptAsTyped);
    QUrl url =
        QUrl::fromEncoded("http://" + QUrl::toAce(host) + '/' + encodedPath, QUrl::TolerantMode);
    if (port != 80)
        url.setPort(port);
    return url;
}

QUrl httpsPageUrl(const QString& origin, const QString& path)
{
    return QUrl(origin + QLatin1Char('/') + path, QUrl::TolerantMode);
}

QUrl renderedPageUrl(const PageAddress& address, quint16 checkPort)
{
    QUrl url(address.text(), QUrl::TolerantMode);
    if (!address.https && url.port() < 0 && checkPort != 80)
        url.setPort(checkPort);
    return url;
}

PerRoute<QString> pageAddresses(const RouteFieldSource& routes)
{
    PerRoute<QString> pages;
    for (int r = 1; r <= RouteCount; ++r) {
        const RouteDefinition def = routes.routeDefinition(r);
        if (hasPage(def))
            pages[r] = webViewAddress(def);
    }
    return pages;
}

} // namespace senrokan
