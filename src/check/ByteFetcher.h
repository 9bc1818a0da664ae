#pragma once

#include <QByteArray>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace senrokan
{

// Fetches a URL's body as bytes, running a local event loop until it is complete. The body is
// taken whatever the HTTP status; no answer, a time-out or a body over the cap throw Failure.
class ByteFetcher
{
public:
    ByteFetcher();
    ~ByteFetcher();

    QByteArray fetch(const QUrl& url, int timeoutMs, qsizetype capBytes);
    void abort(); // ends a running fetch at once, which then fails

private:
    QNetworkAccessManager* manager();

    QNetworkAccessManager* m_manager = nullptr; // made on first use: most pages never need it
    QNetworkReply* m_reply = nullptr;
};

} // namespace senrokan
