// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "Chime.h"

#include "platform/LocalFiles.h"
#include "platform/SoundPlayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace senrokan
{

Chime::Chime()
    : Chime(programPluginFile(QCoreApplication::applicationDirPath()),
            programDataDir(QCoreApplication::applicationDirPath()))
{
}

Chime::Chime(const QString& pluginFile, const QString& dataDir)
    : m_dataDir(dataDir), m_plugin(pluginFile)
{
}

Chime::~Chime()
{
    // The library itself stays mapped: unloading Qt Multimedia behind Qt's back is not safe,
    // and Qt unloads its plugins at exit anyway.
    delete m_plugin.object();
}

void Chime::play()
{
    const std::optional<QString> file =
        soundFile(platform::currentDirectory().value_or(QString()), m_dataDir);
    platform::SoundPlayer* sound = file ? player() : nullptr;
    if (sound)
        sound->play(*file);
    else
        QApplication::beep();
}

platform::SoundPlayer* Chime::player()
{
    if (m_plugin.firstTry())
        m_plugin.load();
    return qobject_cast<platform::SoundPlayer*>(m_plugin.object());
}

QString Chime::programPluginFile(const QString& programDir)
{
    return platform::PluginLoader::programFile(programDir,
                                               QStringLiteral(SENROKAN_CHIME_PLUGIN_FILE));
}

QString Chime::programDataDir(const QString& programDir)
{
    return QDir(programDir).filePath(QStringLiteral(SENROKAN_DATA_DIR_FROM_BIN));
}

std::optional<QString> Chime::soundFile(const QString& currentDir, const QString& dataDir)
{
    for (const QString& dir : {currentDir, dataDir}) {
        const QFileInfo file(QDir(dir), QStringLiteral("notify.wav"));
        if (file.isFile() && file.size() <= MaxSoundBytes)
            return file.absoluteFilePath();
    }
    return std::nullopt;
}

} // namespace senrokan
