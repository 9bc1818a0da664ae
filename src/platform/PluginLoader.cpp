// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "PluginLoader.h"

#include <QDir>
#include <QFileInfo>

namespace senrokan::platform
{

PluginLoader::PluginLoader(const QString& file)
{
    m_loader.setFileName(file);
}

QString PluginLoader::programFile(const QString& programDir, const QString& fileName)
{
    return QDir(programDir).filePath(QStringLiteral(SENROKAN_PLUGIN_DIR_FROM_BIN "/") + fileName);
}

QObject* PluginLoader::load()
{
    m_object = m_loader.instance();
    return m_object;
}

bool PluginLoader::exists() const
{
    return QFileInfo::exists(m_loader.fileName());
}

} // namespace senrokan::platform
