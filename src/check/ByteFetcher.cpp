#include "ByteFetcher.h"

#include "route/Failure.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace senrokan
{

ByteFetcher::ByteFetcher() = default;

ByteFetcher::~ByteFetcher()
{
    delete m_manager;
}

QNetworkAccessManager* ByteFetcher::manager()
{
    if (!m_manager)
        m_manager = new QNetworkAccessManager;
    return m_manager;
}

void ByteFetcher::abort()
{
    if (m_reply)
        m_reply->abort();
}

QByteArray ByteFetcher::fetch(const QUrl& url, int timeoutMs, qsizetype capBytes)
{
    if (!url.isValid() || url.host().isEmpty())
        throw Failure(FailureKind::FetchFailed);

    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);

    QNetworkReply* reply = manager()->get(request);
    m_reply = reply;
    QByteArray body;
    bool tooLarge = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (tooLarge)
            return;
        if (body.size() + reply->bytesAvailable() > capBytes) {
            tooLarge = true;
            reply->abort();
            return;
        }
        body += reply->readAll();
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
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (!tooLarge && reply->bytesAvailable() > 0)
        body += reply->readAll();
    reply->deleteLater();

    if (tooLarge || body.size() > capBytes)
        throw Failure(FailureKind::PageTooLarge);
    // HTTP-level errors (404, 500, ...) still carry the page; transport errors carry nothing.
    const bool transportError =
        (error > QNetworkReply::NoError && error < 200) || (error >= 300 && error < 400);
    if (!answered || transportError)
        throw Failure(FailureKind::FetchFailed);
    return body;
}

} // namespace senrokan
