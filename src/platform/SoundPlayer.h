// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QObject>
#include <QString>

namespace senrokan::platform
{

// Plays short sound files. The one implementation needs Qt Multimedia, which the program does
// not link to stay small; it is a plugin loaded the first time a sound plays.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Starts playing the WAV file and returns at once; the sound goes on even while the calling
    // thread is blocked. A sound still playing from an earlier call is cut off.
    virtual void play(const QString& wavPath) = 0;
};

} // namespace senrokan::platform

#define SENROKAN_SOUNDPLAYER_IID "org.senrokan.SoundPlayer/1.0"
Q_DECLARE_INTERFACE(senrokan::platform::SoundPlayer, SENROKAN_SOUNDPLAYER_IID)
