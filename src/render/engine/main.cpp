// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan-render: reads pages as the browser shows them, for the routes read that way. Takes
// one JSON line per page on standard input, {"id":N,"url":"..."}, reads the pages side by side
// and writes one JSON line per page on standard output as each is read; exits once standard
// input is closed and every page has been answered.
#include "PageReader.h"
#include "PrivateProfile.h"
#include "platform/EngineSandbox.h"
#include "platform/TlsTrust.h"
#include "program/CommandLine.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QSslConfiguration>
#include <QWebEngineProfile>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

using namespace senrokan;
using namespace senrokan::render;

namespace
{

constexpr int ExitUsage = 64;
constexpr int ExitNoEngine = 2;

const char Usage[] = "usage: senrokan-render [--limit-ms N] [--quiet-ms N]\n";

QByteArray help()
{
    return helpText(
        Usage,
        "Read pages as the browser shows them: one {\"id\":N,\"url\":\"...\"} line a page on "
        "standard input, one JSON answer line a page on standard output.",
        {{"--limit-ms N", "end a page's reading after N milliseconds (10000 unless given)"},
         {"--quiet-ms N", "take the text once the page has been quiet this long (1000)"}},
        {{"0", "every page was answered"},
         {"2", "the browser engine cannot run here"},
         {"64", "the command line was wrong"}});
}

// The pages asked for on standard input, read side by side; the program ends when the input has
// ended and the last page has been answered.
class Session
{
public:
    Session(QWebEngineProfile* profile, ReadingTimes times)
        : m_profile(profile), m_times(times), m_input(STDIN_FILENO, QSocketNotifier::Read)
    {
        QObject::connect(&m_input, &QSocketNotifier::activated, &m_pages, [this] { readInput(); });
    }

private:
    void readInput()
    {
        char chunk[4096];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
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

    void start(const QByteArray& line)
    {
        if (line.trimmed().isEmpty())
            return;
        const QJsonObject request = QJsonDocument::fromJson(line).object();
        const QJsonValue id = request.value(QStringLiteral("id"));
        if (!id.isDouble()) {
            std::fprintf(stderr, "senrokan-render: a line without a number id: %s\n",
                         line.constData());
            return;
        }
        auto* reader =
            new PageReader(m_profile, id.toInteger(),
                           QUrl(request.value(QStringLiteral("url")).toString()), m_times);
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

    void quitWhenDone()
    {
        if (m_inputEnded && m_reading == 0)
            QCoreApplication::exit(0);
    }

    QWebEngineProfile* m_profile;
    ReadingTimes m_times;
    QSocketNotifier m_input;
    QObject m_pages; // parent of the readers, so that they go before the profile
    QByteArray m_buffer;
    int m_reading = 0;
    bool m_inputEnded = false;
};

bool takeNumber(const QStringList& args, qsizetype& i, int& value)
{
    bool ok = false;
    value = i + 1 < args.size() ? args.at(++i).toInt(&ok) : 0;
    return ok && value > 0;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef Q_OS_LINUX
    // The caller ends a reading by killing us; if it dies first, we go with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    ReadingTimes times;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (answerInfoOption(arg.toLocal8Bit(), "senrokan-render", help()))
            return 0;
        const bool known =
            (arg == QLatin1String("--limit-ms") && takeNumber(args, i, times.limitMs)) ||
            (arg == QLatin1String("--quiet-ms") && takeNumber(args, i, times.quietMs));
        if (!known) {
            std::fprintf(stderr, "senrokan-render: unknown or incomplete option %s\n%s",
                         qPrintable(arg), Usage);
            return ExitUsage;
        }
    }
    if (!platform::engineSandboxAllowsThisProcess()) {
        std::fprintf(stderr, "senrokan-render: running as root: the browser's sandbox does not run "
                             "as root; set QTWEBENGINE_DISABLE_SANDBOX=1 to read pages without "
                             "it\n");
        return ExitNoEngine;
    }
    // No window: the offscreen platform needs no display, and without one there is no GPU.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    // The trust the engine's certificate errors are checked against, as for HTTPS routes.
    QSslConfiguration::setDefaultConfiguration(tlsConfiguration());

    QWebEngineProfile* profile = makePrivateProfile(nullptr);
    int status = 0;
    {
        Session session(profile, times);
        status = app.exec();
    }
    delete profile;
    return status;
}
