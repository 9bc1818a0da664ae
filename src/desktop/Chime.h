// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "platform/PluginLoader.h"

#include <QString>

#include <optional>

namespace senrokan
{

namespace platform
{
class SoundPlayer;
}

// The delay chime: plays notify.wav, or beeps when there is no file or no sound player.
// The sound player is a plugin, loaded by the first chime that has a file to play, so the
// program neither maps the multimedia libraries nor opens the sound device before then.
class Chime
{
public:
    // The program's own plugin and data folder, next to the executable as installed (and as
    // laid out in the build tree).
    Chime();
    Chime(const QString& pluginFile, const QString& dataDir);
    // Destroys the sound player, which stops the sound and joins its thread.
    ~Chime();
    Chime(const Chime&) = delete;
    Chime& operator=(const Chime&) = delete;

    // Starts the chime and returns at once; a chime still sounding is cut off.
    void play();

    bool pluginLoaded() const { return m_plugin.loaded(); }

    // Where a program in programDir finds its sound player plugin and its data folder.
    static QString programPluginFile(const QString& programDir);
    static QString programDataDir(const QString& programDir);

    // A chime is a second or two; a larger file is not one, and loading it would cost that much
    // memory for as long as the program runs.
    static constexpr qint64 MaxSoundBytes = 4 * 1024 * 1024;

    // The notify.wav to play: the one in currentDir, else the one in dataDir, else none. A file
    // over MaxSoundBytes is passed over.
    static std::optional<QString> soundFile(const QString& currentDir, const QString& dataDir);

private:
    platform::SoundPlayer* player();

    QString m_dataDir;
    // The program has one Chime, which owns the plugin's object.
    platform::PluginLoader m_plugin;
};

} // namespace senrokan
