// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SingleInstance.h"

#include "platform/LocalFiles.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
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

QString canonicalFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    // A folder that is gone has no canonical path; its absolute path still keeps it apart.
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// name in $XDG_RUNTIME_DIR, which Qt accepts only when it is the user's own and private, else in a
// private folder Qt makes for the user; empty when neither can be had. Never the shared temporary
// folder, where another user could create our lock first.
QString inRuntimeFolder(const QString& name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_key(key(folder)), m_lock(lockPath(m_key))
{
    // The lock is held for as long as the program runs, months when resident: only a dead
    // holder makes it stale, never its age.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::key(const QString& folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QDir::homePath().toUtf8());
    hash.addData(QByteArrayView("\n"));
    hash.addData(canonicalFolder(folder).toUtf8());
    return QStringLiteral("senrokan-") + QString::fromLatin1(hash.result().toHex().left(32));
}

QString SingleInstance::lockPath(const QString& key)
{
    return inRuntimeFolder(key + QStringLiteral(".lock"));
}

QString SingleInstance::socketPath(const QString& key)
{
    return inRuntimeFolder(key);
}

SingleInstance::Claim SingleInstance::claim(int answerLimitMs)
{
    // A lock whose holder has died (killed, crashed) is recognised by its process id and taken
    // over at once.
    const QString lock = m_lock.fileName();
    if (lock.isEmpty())
        return Claim::Unguarded;
    if (platform::fileTrust(lock) == platform::FileTrust::Refused)
        return Claim::ForeignLock;
    if (m_lock.tryLock(0))
        return listen() ? Claim::Owner : Claim::Unguarded;
    if (m_lock.error() != QLockFile::LockFailedError)
        return Claim::Unguarded;
    return tellOwner(answerLimitMs) ? Claim::Forwarded : Claim::OwnerSilent;
}

bool SingleInstance::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a killed owner would refuse the name; holding the lock makes it ours.
    const QString socket = socketPath(m_key);
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
        socket.connectToServer(socketPath(m_key));
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
