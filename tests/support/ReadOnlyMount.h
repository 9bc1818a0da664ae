// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>

namespace senrokan::test
{

// A small tmpfs of the test's own, filled while writable and then switched to read-only: a folder
// that even root cannot write to, where chmod would not stop it. Needs the right to mount, which
// root has on the machines the tests run on; isMounted() says whether it worked.
class ReadOnlyMount
{
public:
    ReadOnlyMount()
    {
        m_mounted = m_dir.isValid() && mount("senrokan-test", path().toLocal8Bit().constData(),
                                             "tmpfs", 0, Options) == 0;
    }
    ~ReadOnlyMount()
    {
        // Lazily: the test may still stand in the folder.
        if (m_mounted)
            umount2(path().toLocal8Bit().constData(), MNT_DETACH);
    }
    ReadOnlyMount(const ReadOnlyMount&) = delete;
    ReadOnlyMount& operator=(const ReadOnlyMount&) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    bool setReadOnly(bool readOnly)
    {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return mount(nullptr, path().toLocal8Bit().constData(), nullptr, flags, Options) == 0;
    }

private:
    static constexpr const char* Options = "size=1m,mode=0755";
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace senrokan::test
