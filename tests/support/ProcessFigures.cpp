// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ProcessFigures.h"

#include <QDir>
#include <QFile>

namespace senrokan::test
{

namespace
{

qint64 statusFieldKiB(const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

qint64 residentKiB()
{
    return statusFieldKiB("VmRSS:");
}

qint64 peakResidentKiB()
{
    return statusFieldKiB("VmHWM:");
}

int openDescriptors()
{
    const QDir fds(QStringLiteral("/proc/self/fd"));
    if (!fds.exists())
        return -1;
    return int(
        fds.entryList(QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot).size());
}

} // namespace senrokan::test
