// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RecordingServer.h"

#include "TestCertificates.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSslKey>
#include <QSslSocket>
#include <QTest>
#include <QTimer>

namespace senrokan::test
{

RecordingServer::RecordingServer() : m_server(std::make_unique<QTcpServer>())
{
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this,
            &RecordingServer::accept);
    m_server->listen(QHostAddress::LocalHost);
}

RecordingServer::RecordingServer(const TestCertificates& certificates, const QString& name)
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    QFile key(certificates.keyFile(name));
    key.open(QIODevice::ReadOnly);
    tls.setPrivateKey(QSslKey(&key, QSsl::Ec));
    tls.setLocalCertificateChain(QSslCertificate::fromPath(certificates.certFile(name)));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(tls);
    connect(server.get(), &QTcpServer::pendingConnectionAvailable, this, &RecordingServer::accept);
    server->listen(QHostAddress::LocalHost);
    m_server = std::move(server);
}

void RecordingServer::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        read(socket);
    }
}

void RecordingServer::read(QTcpSocket* socket)
{
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    for (;;) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        Request request;
        const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.first().trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers[lines[i].left(colon).trimmed().toLower()] =
                    lines[i].mid(colon + 1).trimmed();
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer.size() < headEnd + 4 + length)
            return;
        request.body = buffer.mid(headEnd + 4, length);
        buffer.remove(0, headEnd + 4 + length);
        m_requests.append(request);
        const int status = m_plan.isEmpty() ? 200 : m_plan.takeFirst();
        if (status == Never)
            continue;
        const QByteArray location =
            status >= 300 && status < 400 ? "Location: " + m_location + "\r\n" : QByteArray();
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Planned\r\n" + location +
                      "Content-Type: application/json\r\nContent-Length: 2\r\n\r\n{}");
    }
}

bool RecordingServer::waitForRequests(int count, int limitMs)
{
    return QTest::qWaitFor([&] { return m_requests.size() >= count; }, limitMs);
}

int runApprise(const QString& url, const QString& title, const QString& body, const QString& type,
               int limitMs)
{
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    process.start(QStringLiteral("apprise"), {QStringLiteral("-t"), title, QStringLiteral("-b"),
                                              body, QStringLiteral("-n"), type, url});
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace senrokan::test
