// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "platform/SoundPlayer.h"

#include <QObject>
#include <QThread>

class QSoundEffect;

namespace senrokan::platform
{

// Plays through a QSoundEffect that lives on a thread of its own, so the sound keeps being fed
// while the thread that asked for it sleeps. The thread and the sound device are only set up by
// the first play.
class ThreadedSoundPlayer : public QObject, public SoundPlayer
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SENROKAN_SOUNDPLAYER_IID)
    Q_INTERFACES(senrokan::platform::SoundPlayer)
public:
    ThreadedSoundPlayer();
    // Stops the sound and joins its thread.
    ~ThreadedSoundPlayer() override;

    void play(const QString& wavPath) override;

private:
    QThread m_thread;
    // Lives on m_thread once created; deleted there when the thread finishes.
    QSoundEffect* m_effect = nullptr;
};

} // namespace senrokan::platform
