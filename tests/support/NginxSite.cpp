// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "NginxSite.h"

#include "ProcessRun.h"
#include "ScriptedServer.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace senrokan::test
{

QString nginxConfiguration(const QString& dir, const QString& servers)
{
    return QStringLiteral(
               "daemon off;\nmaster_process off;\npid %1/nginx.pid;\nerror_log %1/error.log;\n"
               "events { worker_connections 64; }\n"
               "http {\n access_log off;\n default_type text/html;\n"
               " client_body_temp_path %1/tmp;\n proxy_temp_path %1/tmp;\n"
               " fastcgi_temp_path %1/tmp;\n uwsgi_temp_path %1/tmp;\n scgi_temp_path %1/tmp;\n"
               "%2}\n")
        .arg(dir, servers);
}

namespace
{

bool waitForListener(const QString& host, quint16 port)
{
    for (int i = 0; i < 100; ++i) {
        QTcpSocket probe;
        probe.connectToHost(host, port);
        if (probe.waitForConnected(100))
            return true;
        QTest::qWait(50);
    }
    return false;
}

int removeEntry(const char* path, const struct stat*, int, FTW*)
{
    return std::remove(path);
}

} // namespace

NginxSite::NginxSite(const QString& host, quint16 plainPort)
    : m_certificates(m_dir.path()), m_host(host), m_plainPort(plainPort)
{
    // Chosen up front, so that directives given to start() can point at them.
    if (m_plainPort == 0)
        m_plainPort = closedPort();
    for (const QString& name :
         {QStringLiteral("good"), QStringLiteral("wronghost"), QStringLiteral("expired")})
        m_tlsPorts.insert(name, closedPort());
}

NginxSite::~NginxSite()
{
    if (m_nginx.state() != QProcess::NotRunning) {
        m_nginx.kill();
        m_nginx.waitForFinished();
    }
    // The temporary folder cannot remove names Qt cannot decode, such as Shift_JIS ones.
    ::nftw(QFile::encodeName(m_dir.path() + QStringLiteral("/www")).constData(), removeEntry, 16,
           FTW_DEPTH | FTW_PHYS);
}

QString NginxSite::httpsServer(const QString& certificate) const
{
    return QStringLiteral("https://%1:%2").arg(m_host).arg(m_tlsPorts.value(certificate));
}

bool NginxSite::put(const QByteArray& path, const QByteArray& bytes)
{
    // Plain system calls: a Shift_JIS folder name is no valid file name text for Qt here.
    QByteArray full = QFile::encodeName(m_dir.path()) + "/www/" + path;
    for (qsizetype slash = full.indexOf('/', 1); slash > 0; slash = full.indexOf('/', slash + 1))
        ::mkdir(full.left(slash).constData(), 0755);
    const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return written;
}

bool NginxSite::start(const QString& serverDirectives)
{
    const QString nginx = QStandardPaths::findExecutable(
        QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (nginx.isEmpty()) {
        m_error = QStringLiteral("nginx is not installed (scripts/deps installs it)");
        return false;
    }
    if (!m_dir.isValid() || !m_certificates.make()) {
        m_error = m_certificates.error();
        return false;
    }
    const QString dir = m_dir.path();
    QDir().mkpath(dir + QStringLiteral("/www"));
    QDir().mkpath(dir + QStringLiteral("/tmp"));

    QString servers = QStringLiteral(" server { listen %1:%2; root %3/www; %4 }\n")
                          .arg(m_host, QString::number(m_plainPort), dir, serverDirectives);
    for (auto it = m_tlsPorts.cbegin(); it != m_tlsPorts.cend(); ++it) {
        const QString& name = it.key();
        const quint16 port = it.value();
        servers += QStringLiteral(" server { listen %1:%2 ssl; ssl_certificate %3; "
                                  "ssl_certificate_key %4; root %5/www; %6 }\n")
                       .arg(m_host, QString::number(port), m_certificates.certFile(name),
                            m_certificates.keyFile(name), dir, serverDirectives);
    }
    const QString conf = nginxConfiguration(dir, servers);
    QFile confFile(dir + QStringLiteral("/nginx.conf"));
    if (!confFile.open(QIODevice::WriteOnly))
        return false;
    confFile.write(conf.toUtf8());
    confFile.close();

    m_nginx.setProcessChannelMode(QProcess::ForwardedChannels);
    endsWithTest(m_nginx);
    m_nginx.start(nginx, {QStringLiteral("-p"), dir, QStringLiteral("-c"), confFile.fileName(),
                          QStringLiteral("-e"), dir + QStringLiteral("/error.log")});
    if (!waitForListener(m_host, m_plainPort) ||
        !waitForListener(m_host, m_tlsPorts.value(QStringLiteral("good")))) {
        QFile log(dir + QStringLiteral("/error.log"));
        log.open(QIODevice::ReadOnly);
        m_error = QStringLiteral("nginx did not come up: ") + QString::fromLocal8Bit(log.readAll());
        return false;
    }
    return true;
}

} // namespace senrokan::test
