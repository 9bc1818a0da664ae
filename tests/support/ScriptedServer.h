// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>

#include <atomic>
#include <thread>
#include <variant>

namespace senrokan::test
{

// A loopback HTTP server that answers each request with a script of exact bytes, pauses, resets
// and floods, on its own threads with plain blocking sockets.
class ScriptedServer
{
public:
    struct Send {
        QByteArray bytes;
    };
    struct Pause {
        int ms;
    };
    struct Reset {
    }; // close with RST
    struct Flood {
        qint64 bytes;
    }; // send this many filler bytes as fast as the peer reads
    struct Hold {
    }; // never answer, keep the connection open
    using Step = std::variant<Send, Pause, Reset, Flood, Hold>;
    using Script = QList<Step>;

    // Listens on 127.0.0.1 at a free port, or on the address and port given (a port below 1024
    // needs root); port() is 0 when the address cannot be taken.
    ScriptedServer();
    ScriptedServer(const char* address, quint16 port);
    ~ScriptedServer();

    quint16 port() const { return m_port; }

    // Script for the bare socket request (no header lines) for path, e.g. "/info.html".
    void onRequest(const QString& path, const Script& script);
    // Script for the HTTP client's request of path (it sends header lines). Falls back to the
    // socket script when none is set.
    void onFetch(const QString& path, const Script& script);

    QList<QByteArray> rawRequests() const; // complete bytes of each bare request
    QList<QString> fetchedPaths() const;   // request paths of the HTTP client's requests
    int connectionCount() const { return m_connections; }
    // Stops keeping the two lists above. A long run that never reads them, such as the soak,
    // would otherwise see them grow in the very memory it measures.
    void forgetRequests() { m_keepRequests = false; }

    // Helpers for common replies.
    static Script reply(const QByteArray& status, const QByteArray& body,
                        const QByteArray& headers = "Content-Type: text/html\r\n");
    static Script chunked(const QList<QByteArray>& pieces, int pauseMs);

private:
    void acceptLoop();
    void serve(int fd);
    void run(int fd, const Script& script);

    int m_listenFd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_keepRequests{true};
    std::thread m_acceptThread;
    struct Worker {
        std::thread thread;
        std::atomic<bool> done{false};
    };
    void reapWorkers(); // joins the workers that have ended, so that long runs do not pile them up
    QList<Worker*> m_workers;

    mutable QMutex m_mutex;
    QMap<QString, Script> m_raw;
    QMap<QString, Script> m_fetch;
    QList<QByteArray> m_rawRequests;
    QList<QString> m_fetchedPaths;
};

// A port on loopback where nothing listens: connections to it are refused.
quint16 closedPort();

} // namespace senrokan::test
