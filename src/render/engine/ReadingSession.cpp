// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ReadingSession.h"

#include "platform/ThisProcess.h"
#include "render/ReaderProtocol.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <utility>

namespace senrokan::render
{

ReadingSession::ReadingSession(QWebEngineProfile* profile, ReadingTimes times)
    : m_profile(profile), m_times(times), m_input(platform::StandardInput, QSocketNotifier::Read)
{
    QObject::connect(&m_input, &QSocketNotifier::activated, &m_pages, [this] { readInput(); });
}

void ReadingSession::readInput()
{
    char chunk[4096];
    const qsizetype got = platform::readStandardInput(chunk, sizeof chunk);
    if (got <= 0) {
        m_input.setEnabled(false);
        m_inputEnded = true;
    } else {
        m_buffer.append(chunk, got);
    }
    for (qsizetype end = m_buffer.indexOf('\n'); end >= 0; end = m_buffer.indexOf('\n')) {
        start(m_buffer.left(end));
        m_buffer.remove(0, end + 1);
    }
    if (m_inputEnded && !m_buffer.trimmed().isEmpty())
        start(std::exchange(m_buffer, {}));
    quitWhenDone();
}

void ReadingSession::start(const QByteArray& line)
{
    if (line.trimmed().isEmpty())
        return;
    const QJsonObject request = QJsonDocument::fromJson(line).object();
    const QJsonValue id = request.value(protocol::Id);
    if (!id.isDouble()) {
        std::fprintf(stderr, "senrokan-render: a line without a number id: %s\n", line.constData());
        return;
    }
    auto* reader = new PageReader(m_profile, id.toInteger(),
                                  QUrl(request.value(protocol::Url).toString()), m_times);
    reader->setParent(&m_pages);
    ++m_reading;
    QObject::connect(reader, &PageReader::answered, &m_pages, [this](const QJsonObject& a) {
        const QByteArray out = QJsonDocument(a).toJson(QJsonDocument::Compact) + '\n';
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        std::fflush(stdout);
        --m_reading;
        quitWhenDone();
    });
}

void ReadingSession::quitWhenDone()
{
    if (m_inputEnded && m_reading == 0)
        QCoreApplication::exit(0);
}

} // namespace senrokan::render
