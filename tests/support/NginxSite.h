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

// nginx on free loopback ports serving one folder: plain HTTP, and HTTPS with each of the test
// certificates. Needs no root.
class NginxSite
{
public:
    NginxSite();
    ~NginxSite();

    // Directives added to every server block, e.g. locations that redirect or set a charset.
    // false with error() set when nginx or openssl is missing or nginx does not come up.
    bool start(const QString& serverDirectives);
    QString error() const { return m_error; }

    // A file under the site's root; the path is raw bytes, so folder names may be Shift_JIS.
    bool put(const QByteArray& path, const QByteArray& bytes);

    const TestCertificates& certificates() const { return m_certificates; }
    quint16 plainPort() const { return m_plainPort; }
    // "https://127.0.0.1:port" of the server with the named certificate
    QString httpsServer(const QString& certificate) const;

private:
    QTemporaryDir m_dir;
    TestCertificates m_certificates;
    QProcess m_nginx;
    quint16 m_plainPort = 0;
    QMap<QString, quint16> m_tlsPorts;
    QString m_error;
};

} // namespace senrokan::test
