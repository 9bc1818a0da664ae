// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "platform/FolderLock.h"

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace senrokan
{

// One running program per settings folder: the first start in a folder holds the folder's lock
// and listens on a local socket of the same name; a later start in that folder tells it to come
// forward and leaves. Two writers of one Senrokan.DEF would lose each other's saves.
// Starts in other folders never meet. Both live in the user's private runtime folder, where no
// other user can plant a lock first.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Claim {
        // This process now owns the folder; activationRequested reports later starts.
        Owner,
        // Another process owns the folder and has been told to come forward.
        Forwarded,
        // Another process holds the folder's lock but does not answer.
        OwnerSilent,
        // No lock can be made (no private runtime folder, or one that cannot be written): nothing
        // guards the folder.
        Unguarded,
        // The lock belongs to another user: nothing guards the folder, and a stranger's socket is
        // not obeyed.
        ForeignLock,
    };
    Q_ENUM(Claim)

    explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Owns the folder or tells its owner to come forward; waits at most answerLimitMs for an
    // owner that is still starting to listen.
    Claim claim(int answerLimitMs = 10000);

    // The name of the folder's lock and socket.
    static QString key(const QString& folder) { return platform::FolderLock::key(folder); }
    // Where the lock file and the socket of that key live; empty when there is no private
    // runtime folder.
    static QString lockPath(const QString& key) { return platform::FolderLock::lockPath(key); }
    static QString socketPath(const QString& key)
    {
        return platform::FolderLock::inRuntimeFolder(key);
    }

Q_SIGNALS:
    // A later start in this folder asks for the main window.
    void activationRequested();

private:
    bool tellOwner(int answerLimitMs);
    bool listen();
    void readRequest();

    platform::FolderLock m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace senrokan
