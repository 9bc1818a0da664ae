// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ScriptedServer.h"

#include <QMutexLocker>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace senrokan::test
{

namespace
{

int listenOn(const char* address, quint16* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    ::inet_pton(AF_INET, address, &addr.sin_addr);
    addr.sin_port = htons(*port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        *port = 0;
        return fd;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

quint16 closedPort()
{
    quint16 port = 0;
    ::close(listenOn("127.0.0.1", &port));
    return port;
}

ScriptedServer::ScriptedServer() : ScriptedServer("127.0.0.1", 0) {}

ScriptedServer::ScriptedServer(const char* address, quint16 port) : m_port(port)
{
    m_listenFd = listenOn(address, &m_port);
    if (m_port != 0)
        m_acceptThread = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer()
{
    m_stop = true;
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    for (Worker* worker : m_workers) {
        worker->thread.join();
        delete worker;
    }
    ::close(m_listenFd);
}

void ScriptedServer::onRequest(const QString& path, const Script& script)
{
    QMutexLocker lock(&m_mutex);
    m_raw[path] = script;
}

void ScriptedServer::onFetch(const QString& path, const Script& script)
{
    QMutexLocker lock(&m_mutex);
    m_fetch[path] = script;
}

QList<QByteArray> ScriptedServer::rawRequests() const
{
    QMutexLocker lock(&m_mutex);
    return m_rawRequests;
}

QList<QString> ScriptedServer::fetchedPaths() const
{
    QMutexLocker lock(&m_mutex);
    return m_fetchedPaths;
}

ScriptedServer::Script ScriptedServer::reply(const QByteArray& status, const QByteArray& body,
                                             const QByteArray& headers)
{
    return {Send{"HTTP/1.1 " + status + "\r\n" + headers +
                 "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body}};
}

ScriptedServer::Script ScriptedServer::chunked(const QList<QByteArray>& pieces, int pauseMs)
{
    Script script;
    for (const QByteArray& piece : pieces) {
        if (!script.isEmpty())
            script.append(Pause{pauseMs});
        script.append(Send{piece});
    }
    return script;
}

void ScriptedServer::acceptLoop()
{
    while (!m_stop) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept(m_listenFd, nullptr, nullptr);
        if (fd < 0)
            continue;
        ++m_connections;
        reapWorkers();
        auto* worker = new Worker;
        worker->thread = std::thread([this, fd, worker] {
            serve(fd);
            worker->done = true;
        });
        m_workers.append(worker);
    }
}

void ScriptedServer::reapWorkers()
{
    for (qsizetype i = m_workers.size() - 1; i >= 0; --i) {
        Worker* worker = m_workers.at(i);
        if (worker->done) {
            worker->thread.join();
            delete worker;
            m_workers.removeAt(i);
        }
    }
}

void ScriptedServer::serve(int fd)
{
    QByteArray request;
    while (!m_stop && !request.contains("\r\n\r\n")) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        request.append(buf, n);
    }
    if (request.isEmpty()) {
        ::close(fd);
        return;
    }

    Script script;
    {
        QMutexLocker lock(&m_mutex);
        const int sp1 = request.indexOf(' ');
        const int sp2 = request.indexOf(' ', sp1 + 1);
        const QString path = sp1 > 0 && sp2 > sp1
                                 ? QString::fromLatin1(request.mid(sp1 + 1, sp2 - sp1 - 1))
                                 : QString();
        const bool fromClient = request.contains("\r\nHost:") || request.contains("\r\nhost:");
        if (fromClient) {
            if (m_keepRequests)
                m_fetchedPaths.append(path);
            script = m_fetch.value(path, m_raw.value(path, reply("404 Not Found", "missing")));
        } else {
            if (m_keepRequests)
                m_rawRequests.append(request);
            script = m_raw.value(path, reply("404 Not Found", "missing"));
        }
    }
    run(fd, script);
}

void ScriptedServer::run(int fd, const Script& script)
{
    bool open = true;
    for (const Step& step : script) {
        if (m_stop || !open)
            break;
        if (const auto* send = std::get_if<Send>(&step)) {
            open = writeAll(fd, send->bytes.constData(), send->bytes.size());
        } else if (const auto* pause = std::get_if<Pause>(&step)) {
            for (int waited = 0; waited < pause->ms && !m_stop; waited += 5)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } else if (std::holds_alternative<Reset>(step)) {
            linger hard{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            ::close(fd);
            return;
        } else if (const auto* flood = std::get_if<Flood>(&step)) {
            const QByteArray filler(64 * 1024, 'x');
            for (qint64 left = flood->bytes; left > 0 && open && !m_stop; left -= filler.size())
                open = writeAll(fd, filler.constData(), qMin<qint64>(left, filler.size()));
        } else if (std::holds_alternative<Hold>(step)) {
            while (!m_stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ::close(fd);
}

} // namespace senrokan::test
