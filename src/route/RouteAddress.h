// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RouteDefinition.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace senrokan
{

// Where a route's page is: one rule for the check, the web view and the reports. A server field
// that starts with "http://" or "https://" (any letter case) is a whole address, used as typed:
// its host, its port, and its path and query, the directory field only when it names no path
// ("https://host", as such routes were always written); a delay-directory retry asks that path
// on the same server instead. Any other server field is a bare host, whose page is the directory
// field's, on the port of the port field when it holds another valid port than 80. Blanks around
// the server field are left out.
struct PageAddress {
    bool whole = false; // the server field is a whole address
    bool https = false;
    QString origin; // scheme and authority as typed; "http://" and the host for a bare host
    QString host;   // the host to connect to
    int port = -1;  // the port named in the address or the port field; -1 when none is
    QString target; // path and query after the host's "/", as typed

    // The plain check's port: the one named, else the check's own.
    quint16 portOr(quint16 checkPort) const { return port >= 0 ? quint16(port) : checkPort; }
    // The address as the web view opens it and the reports link it.
    QString text() const { return origin + QLatin1Char('/') + target; }
    // The path and query as the socket request names them: a whole address's as a browser sends
    // them, percent-encoded as UTF-8; a bare host's page as requestPath gives it.
    QByteArray requestTarget() const;
};

// The address of route def's page; retry: the delay directory's.
PageAddress pageAddress(const RouteDefinition& def, bool retry = false);
// What makes route def's server field unusable, in a sentence for the status field (a full-width
// colon or slash, a whole address without a host, a bare host with a path or a blank in it);
// empty when it can be used.
QString addressProblem(const RouteDefinition& def);

// The port the port field names: digits from 1 to 65535, blanks around them allowed.
std::optional<quint16> fieldPort(const QString& text);

// Where a route's web view goes after its button check: the address as typed, no trimming,
// no encoding, a fragment left out ("http:///" + directory when the server is empty).
QString webViewAddress(const RouteDefinition& def);
// Each route's page for the web view; none for a route without a server (one read only from its
// feed, or none at all).
PerRoute<QString> pageAddresses(const RouteFieldSource& routes);

// The path as the socket request line carries it: its CP932 bytes as typed, except control
// characters, percent-encoded, so that nothing typed or pasted can end the line or add a header.
QByteArray requestPath(const QString& path);

// The byte fetch of a plain route. The path's CP932 bytes (its UTF-8 ones for a whole address)
// are percent-encoded, so the request names the very bytes the socket request sent; characters
// already safe in a URL stay as typed.
QUrl byteFetchUrl(const QString& host, const QString& path, quint16 port, bool asUtf8 = false);

// The page of an HTTPS route: the origin, "/" and the path, non-ASCII characters
// percent-encoded as UTF-8, as a browser opening the web-view address would ask for it.
QUrl httpsPageUrl(const QString& origin, const QString& path);
// The page a route read as the browser shows it opens: the web-view address, on the plain
// check's port unless one is named.
QUrl renderedPageUrl(const PageAddress& address, quint16 checkPort);

} // namespace senrokan
