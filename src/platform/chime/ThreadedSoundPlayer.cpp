// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ThreadedSoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

namespace senrokan::platform
{

ThreadedSoundPlayer::ThreadedSoundPlayer()
{
    // Also the thread's name in the system, where tests and debuggers see it.
    m_thread.setObjectName(QStringLiteral("SenrokanChime"));
}

ThreadedSoundPlayer::~ThreadedSoundPlayer()
{
    // The effect's deleteLater runs as the thread finishes, on the thread, so its audio output
    // is torn down where it was made.
    m_thread.quit();
    m_thread.wait();
}

void ThreadedSoundPlayer::play(const QString& wavPath)
{
    if (!m_effect) {
        // Made here rather than on the thread because its constructor may start Qt's
        // process-wide media setup, which should belong to the calling thread, as it outlives
        // ours; the effect's own audio output is made on the thread once the sound is loaded.
        m_effect = new QSoundEffect;
        m_effect->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_effect, &QObject::deleteLater);
        m_thread.start();
    }
    const QUrl source = QUrl::fromLocalFile(wavPath);
    QSoundEffect* effect = m_effect;
    QMetaObject::invokeMethod(
        effect,
        [effect, source] {
            // Without an audio device the effect only reports an error, and plays nothing.
            if (effect->source() != source)
                effect->setSource(source);
            effect->stop();
            effect->play();
        },
        Qt::QueuedConnection);
}

} // namespace senrokan::platform
