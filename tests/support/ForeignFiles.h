// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <filesystem>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace senrokan::test
{

// Files as another local user leaves them. The tests run as root, so "another user" is nobody.

// Gives path, or the link at path itself, to user nobody.
inline bool giveToNobody(const QString& path)
{
    const passwd* nobody = getpwnam("nobody");
    return nobody &&
           lchown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
}

inline QByteArray folderNamedNotAsText(const QString& parent)
{
    return QFile::encodeName(parent) + "/\xff\xfe-folder";
}

// Makes a folder in parent whose name is not valid UTF-8 and makes it the current directory.
inline bool enterFolderNamedNotAsText(const QString& parent)
{
    const QByteArray folder = folderNamedNotAsText(parent);
    return mkdir(folder.constData(), 0700) == 0 && chdir(folder.constData()) == 0;
}

// Goes back to folder backTo and removes that folder, which Qt cannot name to remove it.
inline void leaveFolderNamedNotAsText(const QString& parent, const QString& backTo)
{
    QDir::setCurrent(backTo);
    std::error_code ignored;
    std::filesystem::remove_all(folderNamedNotAsText(parent).toStdString(), ignored);
}

} // namespace senrokan::test
