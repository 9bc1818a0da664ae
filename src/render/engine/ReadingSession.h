// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "PageReader.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

class QWebEngineProfile;

namespace senrokan::render
{

// The pages asked for on standard input, read side by side, each answered on standard output as
// it is read; the program ends once the input has ended and the last page has been answered.
class ReadingSession
{
public:
    ReadingSession(QWebEngineProfile* profile, ReadingTimes times);
    ReadingSession(const ReadingSession&) = delete;
    ReadingSession& operator=(const ReadingSession&) = delete;

private:
    void readInput();
    void start(const QByteArray& line);
    void quitWhenDone();

    QWebEngineProfile* m_profile;
    ReadingTimes m_times;
    QSocketNotifier m_input;
    QObject m_pages; // parent of the readers, so that they go before the profile
    QByteArray m_buffer;
    int m_reading = 0;
    bool m_inputEnded = false;
};

} // namespace senrokan::render
