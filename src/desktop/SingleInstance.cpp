// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>

namespace senrokan
{

namespace
{

const QByteArray ActivateRequest = QByteArrayLiteral("activate\n");
constexpr int RetryEveryMs = 50;

int remainingMs(const QDeadlineTimer& deadline)
{
    return int(std::max<qint64>(1, deadline.remainingTime()));
}

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_lock(folder)
{
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim(int answerLimitMs)
{
    switch (m_lock.tryHold()) {
    case platform::FolderLock::Outcome::Held:
        return listen() ? Claim::Owner : Claim::Unguarded;
    case platform::FolderLock::Outcome::Unguarded:
        return Claim::Unguarded;
    case platform::FolderLock::Outcome::Foreign:
        return Claim::ForeignLock;
    case platform::FolderLock::Outcome::HeldElsewhere:
        break;
    }
    return tellOwner(answerLimitMs) ? Claim::Forwarded : Claim::OwnerSilent;
}

bool SingleInstance::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a killed owner would refuse the name; holding the lock makes it ours.
    const QString socket = socketPath(m_lock.key());
    QLocalServer::removeServer(socket);
    if (!m_server->listen(socket))
        return false;
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    return true;
}

void SingleInstance::readRequest()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto answer = [this, socket] {
            // Anything but the one short request is dropped unread.
            if (socket->canReadLine()) {
                if (socket->readLine() == ActivateRequest)
                    Q_EMIT activationRequested();
            } else if (socket->bytesAvailable() < ActivateRequest.size()) {
                return;
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, socket, answer);
        answer();
    }
}

bool SingleInstance::tellOwner(int answerLimitMs)
{
    // The owner takes the lock before it listens: between the two, keep trying.
    const QDeadlineTimer deadline(answerLimitMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(socketPath(m_lock.key()));
        if (socket.waitForConnected(remainingMs(deadline))) {
            socket.write(ActivateRequest);
            if (!socket.waitForBytesWritten(remainingMs(deadline)))
                return false;
            socket.disconnectFromServer();
            return true;
        }
        QThread::msleep(RetryEveryMs);
    } while (!deadline.hasExpired());
    return false;
}

} // namespace senrokan
