// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RouteDefinition.h"

#include <QString>
#include <QUrl>

namespace senrokan
{

// A route whose server field starts with "https://" (any letter case) is fetched over TLS by the
// HTTP client; every other server field names a host for the bare socket request.
bool isHttpsServer(const QString& serverName);

// Where a route's web view goes after its button check: the fields exactly as they stand, no
// trimming, no encoding ("http:///" + directory when the server is empty). An HTTPS server field
// already carries its scheme and any port.
QString webViewAddress(const QString& serverName, const QString& directoryName);
// Each route's page for the web view; none for a route without a server (one read only from its
// feed, or none at all).
PerRoute<QString> pageAddresses(const RouteFieldSource& routes);

// The path as the socket request line carries it: its CP932 bytes as typed, except control
// characters, percent-encoded, so that nothing typed or pasted can end the line or add a header.
QByteArray requestPath(const QString& path);

// The byte fetch of a plain route. The path's CP932 bytes are percent-encoded, so the request
// names the very bytes the socket request sent; characters already safe in a URL stay as typed.
QUrl byteFetchUrl(const QString& serverName, const QString& path, quint16 port);

// The page of an HTTPS route: the server field, "/" and the path, non-ASCII characters
// percent-encoded as UTF-8, as a browser opening the web-view address would ask for it.
QUrl httpsPageUrl(const QString& serverName, const QString& path);
// The page a route read as the browser shows it opens: the web-view address, on port unless
// the server field names one (the plain check's port is a setting of its own).
QUrl renderedPageUrl(const QString& serverName, const QString& path, quint16 port);

} // namespace senrokan
