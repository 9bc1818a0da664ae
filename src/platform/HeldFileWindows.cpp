// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "HeldFile.h"

#include <QFile>
#include <QFileInfo>

namespace senrokan::platform
{

// Windows folders are private to their user unless shared on purpose and links need a
// privilege: a plain file that can be opened is all that is asked for, and nothing is held.

HeldFile::HeldFile(const QString& path)
{
    QFile file(path);
    m_trust = file.open(QIODevice::ReadWrite) ? FileTrust::Own : FileTrust::Missing;
}

HeldFile::~HeldFile() = default;

bool HeldFile::isAt(const QString& path) const
{
    return m_trust == FileTrust::Own && QFileInfo(path).isFile();
}

} // namespace senrokan::platform
