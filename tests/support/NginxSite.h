// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "TestCertificates.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace senrokan::test
{

// An nginx configuration that runs in the foreground from dir (pid, logs and temporary files
// there) with the given server blocks.
QString nginxConfiguration(const QString& dir, const QString& servers);

// nginx on free ports of a loopback address serving one folder: plain HTTP, and HTTPS with each
// of the test certificates. Needs no root, unless a port below 1024 is asked for plain HTTP (the
// program's own checks go to port 80).
class NginxSite
{
public:
    explicit NginxSite(const QString& host = QStringLiteral("127.0.0.1"), quint16 plainPort = 0);
    ~NginxSite();

    // Directives added to every server block, e.g. locations that redirect or set a charset.
    // false with error() set when nginx or openssl is missing or nginx does not come up.
    bool start(const QString& serverDirectives);
    QString error() const { return m_error; }

    // A file under the site's root; the path is raw bytes, so folder names may be Shift_JIS.
    bool put(const QByteArray& path, const QByteArray& bytes);

    const TestCertificates& certificates() const { return m_certificates; }
    quint16 plainPort() const { return m_plainPort; }
    QString host() const { return m_host; }
    // "https://host:port" of the server with the named certificate
    QString httpsServer(const QString& certificate) const;

private:
    QTemporaryDir m_dir;
    TestCertificates m_certificates;
    QProcess m_nginx;
    QString m_host;
    quint16 m_plainPort = 0;
    QMap<QString, quint16> m_tlsPorts;
    QString m_error;
};

} // namespace senrokan::test
