// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <atomic>
#include <filesystem>
#include <thread>

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

// Another user racing a program's saves and reads: for as long as it lives, the name keeps
// turning between nothing and that user's link to target. The link appears whole and already
// theirs (made aside, given away, renamed into place), as it would from a process of theirs.
class LinkFlipper
{
public:
    LinkFlipper(const QString& name, const QString& target)
        : m_name(QFile::encodeName(name)), m_aside(m_name + ".flip"),
          m_target(QFile::encodeName(target)), m_thread([this] { run(); })
    {
    }
    ~LinkFlipper()
    {
        m_stop = true;
        m_thread.join();
    }
    LinkFlipper(const LinkFlipper&) = delete;
    LinkFlipper& operator=(const LinkFlipper&) = delete;

    int flips() const { return m_flips; }

private:
    void run()
    {
        while (!m_stop) {
            if (symlink(m_target.constData(), m_aside.constData()) == 0 &&
                giveToNobody(QFile::decodeName(m_aside)) &&
                rename(m_aside.constData(), m_name.constData()) == 0)
                ++m_flips;
            unlink(m_aside.constData());
            std::this_thread::sleep_for(std::chrono::microseconds(20));
            unlink(m_name.constData());
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    }

    const QByteArray m_name;
    const QByteArray m_aside;
    const QByteArray m_target;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_flips = 0;
    std::thread m_thread;
};

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
