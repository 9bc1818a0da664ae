// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSslServer>

#include <memory>

namespace senrokan::test
{

class TestCertificates;

// A loopback HTTP or HTTPS receiver on the test's own event loop that keeps every request whole
// and answers each with the next planned status (200 once the plan is used up), or never.
class RecordingServer : public QObject
{
public:
    struct Request {
        QByteArray method;
        QByteArray path;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };
    static constexpr int Never = 0; // a planned status that leaves the request unanswered

    // Plain HTTP; with certificates, HTTPS with the named server certificate.
    RecordingServer();
    RecordingServer(const TestCertificates& certificates, const QString& name);

    quint16 port() const { return m_server->serverPort(); }
    void plan(const QList<int>& statuses) { m_plan = statuses; }
    // The Location a planned 3xx answer names.
    void redirectTo(const QByteArray& url) { m_location = url; }
    const QList<Request>& requests() const { return m_requests; }
    // Waits on the event loop until count requests have come, at most limitMs.
    bool waitForRequests(int count, int limitMs);

private:
    void accept();
    void read(QTcpSocket* socket);

    QList<int> m_plan;
    QByteArray m_location;
    QList<Request> m_requests;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    // Last, so that it goes first: its connections, closed as it goes, still find the buffers.
    std::unique_ptr<QTcpServer> m_server;
};

// The apprise program's own request for a URL, the reference the program's requests are held to:
// runs it with the report's title, body and type while the event loop turns, so that a receiver
// on it can answer. The exit status, -1 when it did not end within limitMs.
int runApprise(const QString& url, const QString& title, const QString& body, const QString& type,
               int limitMs = 30000);

} // namespace senrokan::test
