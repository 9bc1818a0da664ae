// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace senrokan
{

// What the HTTP client brought back for one URL. An answered request has its status code; an
// unanswered one (refused, TLS failure, time-out, a body cut short of its length, a refused
// redirect, a body that does not decode) has 0 and a reason.
struct FetchedPage {
    int statusCode = 0;
    QByteArray body;
    QByteArray contentType; // the Content-Type header line's value, as sent
    bool tooLarge = false;  // the body went over the cap and was dropped
    QString failureDetail;  // why there was no answer, naming the TLS error if that was it
};

// Why a reply is not read: it had not all come within limitMs, or its connection ended after
// received of the declared bytes. Said the same for the socket's reply and the client's.
QString lateReplyText(int limitMs);
QString cutReplyText(qint64 declared, qint64 received);

// Fetches a URL's body as bytes, running a local event loop until it is complete. Redirects are
// followed within the same scheme or up from http to https, never down. Certificates are checked
// against the system's store and, when SSL_CERT_FILE names a PEM file, the certificates in it.
class ByteFetcher
{
public:
    ByteFetcher();
    ~ByteFetcher();

    // The whole answer, failures included; a body compressed as gzip or deflate comes decoded,
    // and one that does not decode is a failure. onSecured runs once, when the first TLS session
    // is established.
    FetchedPage fetchPage(const QUrl& url, int timeoutMs, qsizetype capBytes,
                          const std::function<void()>& onSecured = {});
    void abort(); // ends a running fetch at once, which then fails

private:
    QNetworkAccessManager* manager();

    QNetworkAccessManager* m_manager = nullptr; // made on first use: most pages never need it
    QNetworkReply* m_reply = nullptr;
    // Made on the first HTTPS fetch: even an empty configuration loads the TLS libraries, which
    // a program watching only plain routes never needs.
    std::optional<QSslConfiguration> m_tls;
};

} // namespace senrokan
