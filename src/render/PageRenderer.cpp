// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "PageRenderer.h"

#include "ReaderProtocol.h"
#include "platform/ProcessGroup.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>

#include <utility>

namespace senrokan
{

namespace protocol = render::protocol;

namespace
{

// A helper that writes more than this without ending a line is not answering as it should: a
// page's text is bounded far below it.
constexpr qsizetype OutputCap = 64 * 1024 * 1024;
constexpr qsizetype ReasonCap = 1024;

RenderedPage failedPage(const QString& detail)
{
    RenderedPage page;
    page.detail = detail;
    return page;
}

} // namespace

PageRenderer::PageRenderer(QObject* parent) : QObject(parent), m_program(programFile()) {}

PageRenderer::~PageRenderer()
{
    finish();
}

QString PageRenderer::programFile()
{
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .filePath(QStringLiteral(SENROKAN_RENDER_FROM_BIN)));
}

bool PageRenderer::installed(const QString& program)
{
    const QFileInfo file(program);
    return file.isFile() && file.isExecutable();
}

void PageRenderer::prefetch(const QList<QUrl>& urls)
{
    if (!installed(m_program) || !m_noEngine.isEmpty())
        return;
    for (const QUrl& url : urls)
        ask(url);
}

void PageRenderer::start()
{
    m_process = new QProcess(this);
    m_process->setProgram(m_program);
    m_process->setArguments(
        {QString::fromLatin1(protocol::LimitOption), QString::number(m_limitMs)});
    platform::startInOwnGroup(*m_process);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &PageRenderer::takeOutput);
    // The engine talks on stderr; only the last words count (why it could not run), and they
    // must not pile up over a long reading.
    connect(m_process, &QProcess::readyReadStandardError, this, [this] {
        m_reason =
            (m_reason + QString::fromUtf8(m_process->readAllStandardError())).right(ReasonCap);
    });
    m_process->start();
    m_leader = m_process->waitForStarted() ? m_process->processId() : 0;
}

void PageRenderer::ask(const QUrl& url)
{
    const QString key = url.toString(QUrl::FullyEncoded);
    if (m_ids.contains(key))
        return;
    if (!m_process)
        start();
    const int id = ++m_lastId;
    m_ids.insert(key, id);
    m_lastAsked.start();
    const QJsonObject line{{protocol::Id, id}, {protocol::Url, key}};
    m_process->write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
}

RenderedPage PageRenderer::read(const QUrl& url)
{
    if (!installed(m_program))
        return unavailable(BrowserPackageNeeded);
    if (!m_noEngine.isEmpty())
        return unavailable(m_noEngine);
    m_aborted = false;
    ask(url);
    const int id = m_ids.value(url.toString(QUrl::FullyEncoded));

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(m_process, &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
    connect(m_process, &QProcess::finished, &loop, &QEventLoop::quit);
    QEventLoop* outer = std::exchange(m_waitLoop, &loop);
    const int limit = m_limitMs + m_hungMarginMs;
    while (!m_pages.contains(id) && !m_aborted && m_process &&
           m_process->state() != QProcess::NotRunning && m_lastAsked.elapsed() < limit) {
        deadline.start(int(limit - m_lastAsked.elapsed()));
        loop.exec();
        takeOutput();
    }
    m_waitLoop = outer;
    if (const auto page = m_pages.constFind(id); page != m_pages.constEnd())
        return *page;
    if (m_aborted)
        return failedPage(QStringLiteral("cancelled"));
    if (m_process && m_process->state() == QProcess::NotRunning) {
        if (m_process->exitStatus() == QProcess::NormalExit &&
            m_process->exitCode() == protocol::ExitNoEngine && m_pages.isEmpty()) {
            m_noEngine = m_reason.trimmed().section(u'\n', -1);
            return unavailable(m_noEngine);
        }
        const QString why = m_process->error() == QProcess::FailedToStart
                                ? m_process->errorString()
                                : QStringLiteral("the browser ended before the page was read");
        finish();
        return failedPage(why);
    }
    // A helper that stops answering is killed with all it started; the next read starts anew.
    finish();
    return failedPage(protocol::LimitDetail);
}

void PageRenderer::abort()
{
    m_aborted = true;
    if (m_waitLoop)
        m_waitLoop->quit();
}

void PageRenderer::finish()
{
    if (m_process) {
        m_process->disconnect(this);
        platform::killGroup(*m_process, m_leader);
        m_process->waitForFinished();
        // Later: this may run in a slot of the process's own signal.
        m_process->deleteLater();
        m_process = nullptr;
    }
    m_leader = 0;
    m_ids.clear();
    m_pages.clear();
    m_partial.clear();
    m_reason.clear();
}

void PageRenderer::takeOutput()
{
    if (!m_process)
        return;
    // Only what came now is searched for line ends: a long line must not be scanned again
    // with every piece of it.
    const qsizetype scanned = m_partial.size();
    m_partial += m_process->readAllStandardOutput();
    qsizetype from = 0;
    for (qsizetype end; (end = m_partial.indexOf('\n', qMax(from, scanned))) >= 0; from = end + 1) {
        const QJsonObject answer =
            QJsonDocument::fromJson(m_partial.sliced(from, end - from)).object();
        const int id = answer.value(protocol::Id).toInt();
        if (id <= 0)
            continue;
        RenderedPage page;
        page.ok = answer.value(protocol::Ok).toBool();
        page.status = answer.value(protocol::Status).toInt();
        page.text = answer.value(protocol::Text).toString();
        page.ms = answer.value(protocol::Ms).toInt();
        page.detail = answer.value(protocol::Detail).toString();
        m_pages.insert(id, page);
    }
    m_partial.remove(0, from);
    if (m_partial.size() > OutputCap) {
        // Every page still waiting then fails as too large.
        const QList<int> ids = m_ids.values();
        finish();
        for (const int id : ids)
            m_pages.insert(id, failedPage(QStringLiteral("the rendered text is too large")));
    }
}

RenderedPage PageRenderer::unavailable(const QString& why) const
{
    RenderedPage page = failedPage(why);
    page.noEngine = true;
    return page;
}

} // namespace senrokan
