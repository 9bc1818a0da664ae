// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "FolderLock.h"

#include "LocalFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace senrokan::platform
{

namespace
{

QString canonicalFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    // A folder that is gone has no canonical path; its absolute path still keeps it apart.
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

FolderLock::FolderLock(const QString& folder)
    : m_key(key(folder)), m_lock(lockPath(m_key)), m_hold(folder)
{
    // The desktop program holds it for months when resident: only a dead holder makes it stale,
    // never its age.
    m_lock.setStaleLockTime(0);
}

FolderLock::Outcome FolderLock::tryHold()
{
    const Outcome outcome = lockInRuntimeFolder();
    if (outcome == Outcome::HeldElsewhere || m_hold.tryHold() != FolderHold::Outcome::HeldElsewhere)
        return outcome;
    // Held by a program that runs with another environment.
    if (outcome == Outcome::Held)
        m_lock.unlock();
    return Outcome::HeldElsewhere;
}

FolderLock::Outcome FolderLock::lockInRuntimeFolder()
{
    const QString path = m_lock.fileName();
    if (path.isEmpty())
        return Outcome::Unguarded;
    if (fileTrust(path) == FileTrust::Refused)
        return Outcome::Foreign;
    // A lock whose holder has died (killed, crashed) is recognised by its process id and taken
    // over at once.
    if (m_lock.tryLock(0))
        return Outcome::Held;
    return m_lock.error() == QLockFile::LockFailedError ? Outcome::HeldElsewhere
                                                        : Outcome::Unguarded;
}

QString FolderLock::key(const QString& folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QDir::homePath().toUtf8());
    hash.addData(QByteArrayView("\n"));
    hash.addData(canonicalFolder(folder).toUtf8());
    return QStringLiteral("senrokan-") + QString::fromLatin1(hash.result().toHex().left(32));
}

// $XDG_RUNTIME_DIR, which Qt accepts only when it is the user's own and private, else a private
// folder Qt makes for the user. Never the shared temporary folder, where another user could
// create our lock first.
QString FolderLock::inRuntimeFolder(const QString& name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

QString FolderLock::lockPath(const QString& key)
{
    return inRuntimeFolder(key + QStringLiteral(".lock"));
}

} // namespace senrokan::platform
