// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ByteFetcher.h"

#include "codec/ContentEncoding.h"
#include "platform/TlsTrust.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

namespace senrokan
{

namespace
{

QString describeFailure(const QNetworkReply* reply, const QList<QSslError>& tlsErrors,
                        int timeoutMs, qsizetype received)
{
    // The client cancels a transfer at its time limit; a cancel of ours is never read.
    if (reply->error() == QNetworkReply::OperationCanceledError)
        return lateReplyText(timeoutMs);
    const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
    if (reply->error() == QNetworkReply::RemoteHostClosedError && declared.isValid())
        return cutReplyText(declared.toLongLong(), received);
    if (tlsErrors.isEmpty())
        return reply->errorString();
    QStringList reasons;
    for (const QSslError& error : tlsErrors)
        reasons << error.errorString();
    return QStringLiteral("TLSエラー: ") + reasons.join(QStringLiteral("; "));
}

// Whether Qt's error stands for an HTTP status the server sent (4xx, 5xx) rather than for a
// failed transfer. Qt files 400 under its protocol errors and 407 under its proxy errors, so the
// ranges of its error codes alone cannot tell.
bool isServerAnswer(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return true;
    default:
        return (error > QNetworkReply::UnknownProxyError &&
                error <= QNetworkReply::UnknownContentError) ||
               (error > QNetworkReply::ProtocolFailure &&
                error <= QNetworkReply::UnknownServerError);
    }
}

} // namespace

QString lateReplyText(int limitMs)
{
    return QStringLiteral("応答が%1秒以内に最後まで届きません").arg(limitMs / 1000.0);
}

QString cutReplyText(qint64 declared, qint64 received)
{
    return QStringLiteral("応答が途中で切れています（Content-Length %1 バイトのうち %2 バイト）")
        .arg(declared)
        .arg(received);
}

ByteFetcher::ByteFetcher() = default;

ByteFetcher::~ByteFetcher()
{
    delete m_manager;
}

QNetworkAccessManager* ByteFetcher::manager()
{
    if (!m_manager) {
        m_manager = new QNetworkAccessManager;
    }
    return m_manager;
}

void ByteFetcher::abort()
{
    if (m_reply)
        m_reply->abort();
}

FetchedPage ByteFetcher::fetchPage(const QUrl& url, int timeoutMs, qsizetype capBytes,
                                   const std::function<void()>& onSecured)
{
    FetchedPage page;
    if (!url.isValid() || url.host().isEmpty()) {
        page.failureDetail = QStringLiteral("URLが正しくありません: ") + url.toString();
        return page;
    }

    QNetworkAccessManager* client = manager();
    // Every fetch makes its own connection, as every socket check does, so a check never rides
    // on a session an earlier one set up.
    client->clearConnectionCache();
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    // Asked for by us, a compressed body comes as it was sent and is decoded below.
    request.setRawHeader("Accept-Encoding", AcceptedEncodings);
    if (url.scheme() == QLatin1String("https")) {
        if (!m_tls)
            m_tls = tlsConfiguration();
        request.setSslConfiguration(*m_tls);
    }

    QNetworkReply* reply = client->get(request);
    m_reply = reply;
    QByteArray& body = page.body;
    QList<QSslError> tlsErrors;
    bool secured = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (page.tooLarge)
            return;
        if (body.size() + reply->bytesAvailable() > capBytes) {
            page.tooLarge = true;
            reply->abort();
            return;
        }
        body += reply->readAll();
    });
    QObject::connect(reply, &QNetworkReply::sslErrors, &loop,
                     [&](const QList<QSslError>& errors) { tlsErrors += errors; });
    QObject::connect(reply, &QNetworkReply::encrypted, &loop, [&] {
        if (!secured && onSecured)
            onSecured();
        secured = true;
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The transfer time-out only catches a silent server; one that trickles bytes must not hold
    // the check for ever, so the whole fetch has the same limit.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec();
    m_reply = nullptr;

    const auto error = reply->error();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!page.tooLarge && reply->bytesAvailable() > 0)
        body += reply->readAll();
    if (body.size() > capBytes)
        page.tooLarge = true;
    // Every HTTP status carries the page (400, 404, 500, ...); transport errors carry nothing,
    // nor does a redirect that was not followed.
    if (page.tooLarge) {
        body.clear();
    } else if (!status.isValid() || !isServerAnswer(error)) {
        page.failureDetail = describeFailure(reply, tlsErrors, timeoutMs, body.size());
        body.clear();
    } else {
        // A body that does not decode is no answer, whatever the status said.
        DecodedBody decoded = decodeContent(body, reply->rawHeader("Content-Encoding"), capBytes);
        body = std::move(decoded.bytes);
        page.tooLarge = decoded.tooLarge;
        page.failureDetail = decoded.error;
        if (!decoded.tooLarge && decoded.error.isEmpty()) {
            page.statusCode = status.toInt();
            page.contentType = reply->rawHeader("Content-Type");
        }
    }
    reply->deleteLater();
    return page;
}

} // namespace senrokan
